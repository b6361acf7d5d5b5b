// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
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

// Why the store cannot be used: where it lives and what went wrong, in words.
struct StoreFailure {
    std::string where;  // the registry file (or the hive)
    std::string why;    // "permission denied"
};

// The program opens the store once at start-up, before anything reads a setting. When it cannot
// be opened or read, every read from then on answers its default (not "" and 0) and nothing is
// ever written to it, and the failure is returned for the program to tell. Without this call the
// store answers as the classic one does: "" and 0 for a key it cannot open.
std::optional<StoreFailure> OpenSettingsStore();
// Back to the classic answers (the end of a run, tests).
void CloseSettingsStore();

// The message that tells of a failure, for the box and the debug log.
std::string StoreFailureText(const StoreFailure& failure);

// A setting of setting_names.h, with its default.
inline std::int32_t GetSettingLong(const LongSetting& setting) {
    return GetSettingLong(setting.name, setting.defaultValue);
}

}  // namespace vantor
