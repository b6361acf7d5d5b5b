// SPDX-License-Identifier: MIT
#include "settings/settings_source.h"

#include "settings/settings_store.h"

namespace vantor {

namespace {

// Answers every name from the store, until the settings dialog takes over.
class StoreSource final : public SettingsSource {
public:
    std::string SettingString(std::string_view name, std::string_view defaultValue) override {
        return GetSettingString(name, defaultValue);
    }
    std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) override {
        return GetSettingLong(name, defaultValue);
    }
};

StoreSource g_storeSource;
SettingsSource* g_installed = nullptr;

}  // namespace

bool SettingsSource::SaveSettingString(std::string_view name, std::string_view value) {
    return vantor::SaveSettingString(name, value);
}

bool SettingsSource::SaveSettingLong(std::string_view name, std::int32_t value) {
    return vantor::SaveSettingLong(name, value);
}

SettingsSource& Settings() {
    return g_installed != nullptr ? *g_installed : g_storeSource;
}

void SetSettingsSource(SettingsSource* source) {
    g_installed = source;
}

}  // namespace vantor
