// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/setting_names.h"

namespace vantor {

// Where the whole program reads and writes its settings: Settings().Get(setting::kX) and
// Settings().Set(setting::kX, value), with the names and defaults of setting_names.h. The settings
// dialog answers for the values it holds in memory and passes everything else on to the store;
// until it exists (and in tests that do not install one) the store answers directly.
class SettingsSource {
public:
    virtual ~SettingsSource() = default;
    // By name, with the default that a missing value gives (and stores).
    virtual std::string SettingString(std::string_view name, std::string_view defaultValue) = 0;
    virtual std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) = 0;
    // Writes; false when the store refused. The store's by default.
    virtual bool SaveSettingString(std::string_view name, std::string_view value);
    virtual bool SaveSettingLong(std::string_view name, std::int32_t value);

    std::string Get(const StringSetting& setting) {
        return SettingString(setting.name, setting.defaultValue);
    }
    std::int32_t Get(const LongSetting& setting) {
        return SettingLong(setting.name, setting.defaultValue);
    }
    bool Set(const StringSetting& setting, std::string_view value) {
        return SaveSettingString(setting.name, value);
    }
    bool Set(const LongSetting& setting, std::int32_t value) {
        return SaveSettingLong(setting.name, value);
    }
};

// The current source; never null.
SettingsSource& Settings();

// Installs a source (nullptr restores the store). The caller keeps ownership.
void SetSettingsSource(SettingsSource* source);

}  // namespace vantor
