// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/setting_names.h"

namespace vantor {

// The persistent settings: named values under Software\KOVAL\Vantor Desktop\Settings.
// A read that finds no value stores the caller's default, so every setting ever asked for
// ends up in the store. Texts are Windows-1252 bytes.
std::string GetSettingString(std::string_view name, std::string_view defaultValue);
bool SaveSettingString(std::string_view name, std::string_view value);
std::int32_t GetSettingLong(std::string_view name, std::int32_t defaultValue);
bool SaveSettingLong(std::string_view name, std::int32_t value);

// A setting of setting_names.h, with its default.
inline std::int32_t GetSettingLong(const LongSetting& setting) {
    return GetSettingLong(setting.name, setting.defaultValue);
}

}  // namespace vantor
