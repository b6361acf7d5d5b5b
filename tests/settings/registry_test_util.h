// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "support/file_bytes.h"

namespace vantor::test {

inline constexpr std::string_view kSettingsKey = "Software\\KOVAL\\Vantor Desktop\\Settings";
inline constexpr std::string_view kSettingsSection =
    "[HKEY_LOCAL_MACHINE\\Software\\KOVAL\\Vantor Desktop\\Settings]";

struct RawValue {
    long rc = -1;
    std::uint32_t type = 0;
    std::string bytes;
};

// Reads a value of the settings key through the registry layer: type and exact bytes.
inline RawValue QueryRaw(std::string_view name) {
    RawValue out;
    bool created = false;
    registry::KeyHandle key = registry::CreateKey(kSettingsKey, &created);
    if (!key) return out;
    std::uint32_t size = 0;
    out.rc = registry::QueryValue(*key, name, &out.type, nullptr, &size);
    if (out.rc != registry::kSuccess) return out;
    out.bytes.assign(size, '\0');
    out.rc = registry::QueryValue(*key, name, &out.type,
                                  reinterpret_cast<std::uint8_t*>(out.bytes.data()), &size);
    out.bytes.resize(size);
    return out;
}

inline long SetRaw(std::string_view name, std::uint32_t type, std::string_view bytes) {
    bool created = false;
    registry::KeyHandle key = registry::CreateKey(kSettingsKey, &created);
    if (!key) return -1;
    return registry::SetValue(*key, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                              static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace vantor::test
