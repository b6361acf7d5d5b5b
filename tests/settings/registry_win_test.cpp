// SPDX-License-Identifier: MIT
// The settings store over the real registry: what only Windows can show.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "settings/registry_test_util.h"
#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

// Runs reg.exe, a program of its own, against the settings key of the fixture's stand-in.
int RegExe(const test::ScopedRegistry& reg, const std::string& args) {
    const std::string command = "reg.exe add \"" + reg.StandInKey() + "\\" +
                                std::string(test::kSettingsKey) + "\" " + args + " /f >NUL 2>&1";
    return std::system(command.c_str());
}

TEST(Registry, valuesChangedFromOutsideTheProgramAreRead) {
    test::ScopedRegistry reg;
    ASSERT_FALSE(reg.StandInKey().empty());
    EXPECT_EQ(GetSettingLong("ServerPort", 7000), 7000);
    EXPECT_EQ(GetSettingString("ServerHost", "localhost"), "localhost");

    ASSERT_EQ(RegExe(reg, "/v ServerPort /t REG_DWORD /d 7100"), 0);
    ASSERT_EQ(RegExe(reg, "/v ServerHost /t REG_SZ /d 127.0.0.2"), 0);
    EXPECT_EQ(GetSettingLong("ServerPort", 7000), 7100);
    EXPECT_EQ(GetSettingString("ServerHost", "localhost"), "127.0.0.2");
}

TEST(Registry, textIsStoredInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << GetACP() << ", not 1252";
    test::ScopedRegistry reg;
    ASSERT_TRUE(SaveSettingString("LastNickName", "Ren\xE9 \x80"));

    // Read back as UTF-16, the registry's own form: the bytes were taken as Windows-1252.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(test::kSettingsKey).c_str(), 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    LONG rc = RegQueryValueExW(key, L"LastNickName", nullptr, &type, reinterpret_cast<BYTE*>(text),
                               &size);
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"Ren\u00E9 \u20AC");
}

}  // namespace
}  // namespace vantor
