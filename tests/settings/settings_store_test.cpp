// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/registry_test_util.h"
#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

// Where there is no registry, the store keeps a REGEDIT4 file whose text some checks look at.
#ifdef _WIN32
constexpr bool kRegistryFile = false;
#else
constexpr bool kRegistryFile = true;
#endif

using test::QueryRaw;
using test::ReadBytes;
using test::SetRaw;

std::string Dword(std::uint32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

#ifndef _WIN32
// Sets (or, given nullptr, clears) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Set(const char* value) { value ? setenv(name_, value, 1) : unsetenv(name_); }
    const char* name_;
    std::optional<std::string> old_;
};
#endif

TEST(SettingsStore, firstRunStoresEachDefaultItReads) {
    test::ScopedRegistry reg;
    EXPECT_EQ(GetSettingLong("BGSndVolume", 19), 19);
    EXPECT_EQ(GetSettingString("LastNickName", "guest"), "guest");
    EXPECT_EQ(GetSettingLong("PageIn", 33023), 33023);

    auto volume = QueryRaw("BGSndVolume");
    EXPECT_EQ(volume.rc, registry::kSuccess);
    EXPECT_EQ(volume.type, registry::kRegDword);
    EXPECT_EQ(volume.bytes, Dword(19));
    EXPECT_EQ(QueryRaw("LastNickName").bytes, std::string("guest", 6));

    // From now on the stored values win over whatever default a caller passes.
    EXPECT_EQ(GetSettingLong("BGSndVolume", 3), 19);
    EXPECT_EQ(GetSettingString("LastNickName", "other"), "guest");
    if (kRegistryFile) {
        EXPECT_NE(ReadBytes(reg.File()).find("\"BGSndVolume\"=dword:00000013\n"),
                  std::string::npos);
    }
}

TEST(SettingsStore, storedValuesReadBackUnclamped) {
    test::ScopedRegistry reg;
    EXPECT_TRUE(SaveSettingLong("BuddyListAutoRefreshInt", 75));
    EXPECT_EQ(GetSettingLong("BuddyListAutoRefreshInt", 1), 75);
    EXPECT_TRUE(SaveSettingLong("Signed", -2));
    EXPECT_EQ(GetSettingLong("Signed", 0), -2);
    EXPECT_EQ(QueryRaw("Signed").bytes, Dword(0xFFFFFFFEu));

    EXPECT_TRUE(SaveSettingString("LastNickName", "abc"));
    auto raw = QueryRaw("LastNickName");
    EXPECT_EQ(raw.type, registry::kRegSz);
    EXPECT_EQ(raw.bytes, std::string("abc\0", 4));
    EXPECT_EQ(GetSettingString("LastNickName", ""), "abc");
}

TEST(SettingsStore, numberReadTakesUpToFourBytesOfAnyType) {
    test::ScopedRegistry reg;
    const std::string eight("\x4b\x00\x00\x00\x01\x00\x00\x00", 8);
    ASSERT_EQ(SetRaw("Wide", registry::kRegDword, eight), registry::kSuccess);
    EXPECT_EQ(GetSettingLong("Wide", 42), 42);
    EXPECT_EQ(QueryRaw("Wide").bytes, eight);  // the odd value is left alone

    // Shorter data leaves the high bytes zero; text is read as its bytes.
    ASSERT_EQ(SetRaw("Short", registry::kRegBinary, std::string("\x4b\x01", 2)),
              registry::kSuccess);
    EXPECT_EQ(GetSettingLong("Short", 7), 0x014b);
    ASSERT_TRUE(SaveSettingString("Text", "ab"));
    EXPECT_EQ(GetSettingLong("Text", 7), 0x006261);
}

TEST(SettingsStore, textReadDropsOnlyTheLastByte) {
    test::ScopedRegistry reg;
    ASSERT_EQ(SetRaw("Empty", registry::kRegSz, ""), registry::kSuccess);
    EXPECT_EQ(GetSettingString("Empty", "fallback"), "");
    EXPECT_EQ(QueryRaw("Empty").bytes, "");  // not replaced by the default

    ASSERT_EQ(SetRaw("NoZero", registry::kRegSz, "xyz"), registry::kSuccess);
    // The registry adds the missing zero itself when it hands text to an ANSI reader; the file
    // gives back the bytes as stored.
    EXPECT_EQ(GetSettingString("NoZero", ""), kRegistryFile ? "xy" : "xyz");

    ASSERT_TRUE(SaveSettingLong("Number", 0x00636261));
    EXPECT_EQ(GetSettingString("Number", ""), "abc");

    // Longer than any fixed buffer a reader might start with.
    std::string big(70000, 'q');
    ASSERT_TRUE(SaveSettingString("Big", big));
    EXPECT_EQ(GetSettingString("Big", ""), big);
}

TEST(SettingsStore, windows1252TextRoundTripsByteExact) {
    test::ScopedRegistry reg;
    const std::string text = "Ren\xE9 M\xFCller \x80 5 \"quoted\" back\\slash \xC6\xD8\xC5";
    ASSERT_TRUE(SaveSettingString("LastNickName", text));
    EXPECT_EQ(GetSettingString("LastNickName", ""), text);
    EXPECT_EQ(QueryRaw("LastNickName").bytes, text + '\0');
    // The file holds the Windows-1252 bytes themselves, escaped only where quoting needs it.
    if (kRegistryFile) {
        EXPECT_NE(
            ReadBytes(reg.File()).find("Ren\xE9 M\xFCller \x80 5 \\\"quoted\\\" back\\\\slash"),
            std::string::npos);
    }

    // Line breaks and zero bytes cannot sit inside a quoted line; they still round-trip.
    const std::string awkward("two\r\nlines\0tail", 15);
    ASSERT_TRUE(SaveSettingString("Awkward", awkward));
    EXPECT_EQ(QueryRaw("Awkward").bytes, awkward + '\0');
    EXPECT_EQ(GetSettingString("Awkward", ""), awkward);
}

TEST(SettingsStore, unopenableKeyGivesEmptyTextZeroAndFalse) {
#ifdef _WIN32
    GTEST_SKIP() << "blocks the registry file's folder, and Windows keeps no registry file";
#else
    test::ScopedRegistry reg;
    // The registry's folder cannot be created: a plain file stands in its way.
    test::WriteBytes(reg.Dir() / "blocker", "x");
    // Or the file cannot be read: the path names a folder.
    std::filesystem::create_directory(reg.Dir() / "folder.reg");
    for (const auto& path : {reg.Dir() / "blocker" / "registry.reg", reg.Dir() / "folder.reg"}) {
        ScopedEnv env("VANTOR_REGISTRY", path.c_str());
        EXPECT_EQ(GetSettingLong("PageIn", 33023), 0) << path;
        EXPECT_EQ(GetSettingString("LastNickName", "bob"), "") << path;
        EXPECT_FALSE(SaveSettingLong("Server", 1)) << path;
        EXPECT_FALSE(SaveSettingString("LastNickName", "bob")) << path;
    }
#endif
}

TEST(SettingsStore, fileLocationFollowsEnvironment) {
#ifdef _WIN32
    GTEST_SKIP() << "where the registry file lives; Windows keeps no registry file";
#else
    test::ScopedRegistry reg;
    ScopedEnv noExplicit("VANTOR_REGISTRY", nullptr);
    ScopedEnv home("HOME", (reg.Dir() / "home").c_str());
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", (reg.Dir() / "xdg").c_str());
        EXPECT_TRUE(SaveSettingLong("Server", 2));
        EXPECT_TRUE(std::filesystem::exists(reg.Dir() / "xdg" / "vantor-desktop" / "registry.reg"));
    }
    ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_TRUE(SaveSettingLong("Server", 2));
    EXPECT_TRUE(std::filesystem::exists(reg.Dir() / "home" / ".config" / "vantor-desktop" /
                                        "registry.reg"));
    EXPECT_FALSE(std::filesystem::exists(reg.File()));
#endif
}

}  // namespace
}  // namespace vantor
