// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "settings/settings_source.h"

namespace vantor::test {

// Answers the settings from two maps, the default otherwise. The server is the loopback peer.
class FakeSettings : public SettingsSource {
public:
    std::map<std::string, std::string, std::less<>> texts{{"ServerHost", "127.0.0.1"}};
    std::map<std::string, std::int32_t, std::less<>> numbers;

    std::string SettingString(std::string_view name, std::string_view defaultValue) override {
        auto it = texts.find(name);
        return it != texts.end() ? it->second : std::string(defaultValue);
    }
    std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) override {
        auto it = numbers.find(name);
        return it != numbers.end() ? it->second : defaultValue;
    }
};

}  // namespace vantor::test
