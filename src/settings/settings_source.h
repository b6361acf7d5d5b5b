// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/setting_names.h"

namespace vantor {

// Where the rest of the program asks for settings. The settings dialog answers for the values it
// holds in memory and passes everything else on to the store; until it exists (and in tests that
// do not install one) the store answers directly.
class SettingsSource {
public:
    virtual ~SettingsSource() = default;
    virtual std::string SettingString(std::string_view name, std::string_view defaultValue) = 0;
    virtual std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) = 0;

    // A setting of setting_names.h, with its default.
    std::string SettingString(const StringSetting& setting) {
        return SettingString(setting.name, setting.defaultValue);
    }
    std::int32_t SettingLong(const LongSetting& setting) {
        return SettingLong(setting.name, setting.defaultValue);
    }
};

// The current source; never null.
SettingsSource& Settings();

// Installs a source (nullptr restores the store). The caller keeps ownership.
void SetSettingsSource(SettingsSource* source);

}  // namespace vantor
