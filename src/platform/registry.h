// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vantor::registry {

// The few registry calls the settings store makes, with the registry's own result codes so the
// store reads the same on every platform. On POSIX the registry is a REGEDIT4 text file.

inline constexpr long kSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidData = 13;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;

enum ValueType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    kRegLink = 6,
    kRegMultiSz = 7,
    kRegQword = 11,
};

// An open key under HKEY_LOCAL_MACHINE; what it holds differs by platform.
class Key;
struct KeyCloser {
    void operator()(Key* key) const noexcept;
};
using KeyHandle = std::unique_ptr<Key, KeyCloser>;

// Opens HKEY_LOCAL_MACHINE\<path> with full access, creating it and its parents when absent.
// Returns null when the key cannot be opened or created, and then, when problem is given, says
// why in a few words ("permission denied"); *createdNew tells whether the key did not exist
// before.
KeyHandle CreateKey(std::string_view path, bool* createdNew,
                    std::string* problem = nullptr) noexcept;

// Where the keys live, for a message about them: the registry file, or the hive.
std::string Location();

// Reads a value. With data null only *size (and *type) are filled and the result is kSuccess.
// With a buffer too small for the data, *size receives the size needed and the result is
// kErrorMoreData. A missing value gives kErrorFileNotFound. type may be null.
long QueryValue(Key& key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) noexcept;

// Stores a value with this type and exactly these bytes.
long SetValue(Key& key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) noexcept;

}  // namespace vantor::registry
