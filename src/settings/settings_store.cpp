// SPDX-License-Identifier: MIT
#include "settings/settings_store.h"

#include <array>
#include <string>

#include "platform/registry.h"

namespace vantor {

namespace {

constexpr std::string_view kKeyPath = "Software\\KOVAL\\Vantor Desktop\\Settings";

long WriteText(registry::Key& key, std::string_view name, std::string_view value) {
    if (value.size() >= UINT32_MAX) return registry::kErrorInvalidParameter;
    std::string data(value);
    data += '\0';
    return registry::SetValue(key, name, registry::kRegSz,
                              reinterpret_cast<const std::uint8_t*>(data.data()),
                              static_cast<std::uint32_t>(data.size()));
}

long WriteNumber(registry::Key& key, std::string_view name, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    std::array<std::uint8_t, 4> data{};
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF);
    return registry::SetValue(key, name, registry::kRegDword, data.data(), 4);
}

}  // namespace

std::string GetSettingString(std::string_view name, std::string_view defaultValue) {
    try {
        bool createdNew = false;
        registry::KeyHandle key = registry::CreateKey(kKeyPath, &createdNew);
        if (!key) return {};
        if (!createdNew) {
            std::uint32_t size = 0;
            long rc = registry::QueryValue(*key, name, nullptr, nullptr, &size);
            if (rc == registry::kSuccess || rc == registry::kErrorMoreData) {
                std::string buffer(size, '\0');
                std::uint32_t got = size;
                rc = registry::QueryValue(*key, name, nullptr,
                                          reinterpret_cast<std::uint8_t*>(buffer.data()), &got);
                // The value changed between the two reads (another program wrote it).
                if (rc != registry::kSuccess) return std::string(defaultValue);
                // The data without its terminating zero byte; an empty value has none.
                buffer.resize(got > 0 ? got - 1 : 0);
                return buffer;
            }
            if (rc != registry::kErrorFileNotFound) return std::string(defaultValue);
        }
        if (WriteText(*key, name, defaultValue) == registry::kSuccess)
            return std::string(defaultValue);
        return {};
    } catch (...) {
        return {};
    }
}

bool SaveSettingString(std::string_view name, std::string_view value) {
    try {
        bool createdNew = false;
        registry::KeyHandle key = registry::CreateKey(kKeyPath, &createdNew);
        if (!key) return false;
        return WriteText(*key, name, value) == registry::kSuccess;
    } catch (...) {
        return false;
    }
}

std::int32_t GetSettingLong(std::string_view name, std::int32_t defaultValue) {
    try {
        bool createdNew = false;
        registry::KeyHandle key = registry::CreateKey(kKeyPath, &createdNew);
        if (!key) return 0;
        if (!createdNew) {
            // Shorter data leaves the missing high bytes zero; longer data is an error.
            std::array<std::uint8_t, 4> data{};
            std::uint32_t size = 4;
            long rc = registry::QueryValue(*key, name, nullptr, data.data(), &size);
            if (rc == registry::kSuccess) {
                std::uint32_t bits = 0;
                for (std::size_t i = data.size(); i-- > 0;) bits = (bits << 8) | data[i];
                return static_cast<std::int32_t>(bits);
            }
            if (rc != registry::kErrorFileNotFound) return defaultValue;
        }
        WriteNumber(*key, name, defaultValue);
        return defaultValue;
    } catch (...) {
        return 0;
    }
}

bool SaveSettingLong(std::string_view name, std::int32_t value) {
    try {
        bool createdNew = false;
        registry::KeyHandle key = registry::CreateKey(kKeyPath, &createdNew);
        if (!key) return false;
        return WriteNumber(*key, name, value) == registry::kSuccess;
    } catch (...) {
        return false;
    }
}

}  // namespace vantor
