// SPDX-License-Identifier: MIT
#include "settings/settings_store.h"

#include <array>
#include <string>

#include "platform/registry.h"

namespace vantor {

namespace {

constexpr std::string_view kKeyPath = "Software\\KOVAL\\Vantor Desktop\\Settings";

// How the store answers when its key cannot be opened: as the classic store, or with the
// defaults; and whether the program found it unusable at start-up, so it stays untouched.
struct Mode {
    bool defaults = false;
    bool unusable = false;
};
Mode g_mode;

// What a read that cannot open the key answers.
std::string Unopened(std::string_view defaultValue) {
    return g_mode.defaults ? std::string(defaultValue) : std::string();
}
std::int32_t Unopened(std::int32_t defaultValue) {
    return g_mode.defaults ? defaultValue : 0;
}

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

std::optional<StoreFailure> OpenSettingsStore() {
    g_mode = Mode{.defaults = true, .unusable = false};
    std::string why;
    bool createdNew = false;
    if (registry::CreateKey(kKeyPath, &createdNew, &why)) return std::nullopt;
    g_mode.unusable = true;
    return StoreFailure{registry::Location(), why.empty() ? "it cannot be opened" : why};
}

void CloseSettingsStore() {
    g_mode = Mode{};
}

std::string StoreFailureText(const StoreFailure& failure) {
    return "The settings in " + failure.where + " cannot be read (" + failure.why +
           "), so the default settings are used and the file is left as it is.";
}

std::string GetSettingString(std::string_view name, std::string_view defaultValue) {
    if (g_mode.unusable) return std::string(defaultValue);
    try {
        bool createdNew = false;
        registry::KeyHandle key = registry::CreateKey(kKeyPath, &createdNew);
        if (!key) return Unopened(defaultValue);
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
        return Unopened(defaultValue);
    } catch (...) {
        return Unopened(defaultValue);
    }
}

bool SaveSettingString(std::string_view name, std::string_view value) {
    if (g_mode.unusable) return false;
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
    if (g_mode.unusable) return defaultValue;
    try {
        bool createdNew = false;
        registry::KeyHandle key = registry::CreateKey(kKeyPath, &createdNew);
        if (!key) return Unopened(defaultValue);
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
        return Unopened(defaultValue);
    }
}

bool SaveSettingLong(std::string_view name, std::int32_t value) {
    if (g_mode.unusable) return false;
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
