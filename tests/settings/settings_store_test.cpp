// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "settings/registry_test_util.h"
#include "settings/settings_store.h"
#include "support/temp_registry.h"

#ifndef _WIN32
#include <unistd.h>
#endif

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

TEST(SettingsStore, firstRunStoresEachDefaultItReads) {
    test::ScopedRegistry reg;
    EXPECT_EQ(GetSettingLong("BGSndVolume", 19), 19);
    EXPECT_EQ(GetSettingString("LastNickName", "guest"), "guest");

    auto volume = QueryRaw("BGSndVolume");
    EXPECT_EQ(volume.rc, registry::kSuccess);
    EXPECT_EQ(volume.type, registry::kRegDword);
    EXPECT_EQ(volume.bytes, std::string("\x13\0\0\0", 4));
    EXPECT_EQ(QueryRaw("LastNickName").bytes, std::string("guest", 6));

    // From now on the stored values win over whatever default a caller passes.
    EXPECT_EQ(GetSettingLong("BGSndVolume", 3), 19);
    EXPECT_EQ(GetSettingString("LastNickName", "other"), "guest");
}

TEST(SettingsStore, valuesOfAnyTypeReadAsTheirFirstFourBytesOrTextLessItsLastByte) {
    test::ScopedRegistry reg;
    struct Row {
        const char* name;
        std::uint32_t type;
        std::string bytes;
        std::optional<std::int32_t> number;  // read with the default 7
        std::optional<std::string> text;     // read with the default "d"
    };
    const Row rows[] = {
        {"EightBytes", registry::kRegDword, std::string("\x4b\0\0\0\x01\0\0\0", 8), 7, {}},
        {"ShortBinary", registry::kRegBinary, "\x4b\x01", 0x014b, "\x4b"},
        {"Text", registry::kRegSz, std::string("ab\0", 3), 0x006261, "ab"},
        {"Number", registry::kRegDword, std::string("abc\0", 4), 0x00636261, "abc"},
        {"EmptyText", registry::kRegSz, "", 0, ""},
        // The registry adds the missing zero itself when it hands text to an ANSI reader; the
        // file gives back the bytes as stored.
        {"NoZero", registry::kRegSz, "xyz", {}, kRegistryFile ? "xy" : "xyz"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(SetRaw(r.name, r.type, r.bytes), registry::kSuccess);
        if (r.number) {
            EXPECT_EQ(GetSettingLong(r.name, 7), *r.number);
        }
        if (r.text) {
            EXPECT_EQ(GetSettingString(r.name, "d"), *r.text);
        }
        // Reading leaves an odd value alone; the registry shows text with the zero it adds.
        const bool zeroAdded = !kRegistryFile && std::string_view(r.name) == "NoZero";
        EXPECT_EQ(QueryRaw(r.name).bytes, zeroAdded ? r.bytes + '\0' : r.bytes);
    }
}

TEST(SettingsStore, textsRoundTripByteExact) {
    test::ScopedRegistry reg;
    const std::string texts[] = {
        "abc",
        "Ren\xE9 M\xFCller \x80 5 \"quoted\" back\\slash \xC6\xD8\xC5",  // Windows-1252
        // Line breaks and zero bytes cannot sit inside a quoted line; they still round-trip.
        std::string("two\r\nlines\0tail", 15),
        std::string(70000, 'q'),  // longer than any fixed buffer a reader might start with
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 20));
        ASSERT_TRUE(SaveSettingString("LastNickName", text));
        EXPECT_EQ(GetSettingString("LastNickName", ""), text);
        auto raw = QueryRaw("LastNickName");
        EXPECT_EQ(raw.type, registry::kRegSz);
        EXPECT_EQ(raw.bytes, text + '\0');
    }
    // The file holds the Windows-1252 bytes themselves, escaped only where quoting needs it.
    ASSERT_TRUE(SaveSettingString("LastNickName", texts[1]));
    if (kRegistryFile) {
        EXPECT_NE(
            ReadBytes(reg.File()).find("Ren\xE9 M\xFCller \x80 5 \\\"quoted\\\" back\\\\slash"),
            std::string::npos);
    }
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

private:
    void Set(const char* value) { value ? setenv(name_, value, 1) : unsetenv(name_); }
    const char* name_;
    std::optional<std::string> old_;
};
#endif

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

// An unreadable store gave "" and 0 for every value: no host, port 0, reconnect and logs off,
// and not a word of why.
TEST(SettingsStore, anUnreadableStoreGivesTheDefaultsSaysWhyAndIsNeverWritten) {
#ifdef _WIN32
    GTEST_SKIP() << "makes the registry file unreadable, and Windows keeps no registry file";
#else
    struct Row {
        const char* name;
        const char* why;
    };
    const Row rows[] = {
        {"mode 000", "permission denied"},
        {"folder is a file", "not a directory"},
        {"file is a folder", "is a directory"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        test::ScopedRegistry reg;
        std::filesystem::path file = reg.File();
        const std::string bytes = std::string("REGEDIT4\r\n\r\n") +
                                  std::string(test::kSettingsSection) +
                                  "\r\n\"ServerPort\"=dword:00000000\r\n";
        if (std::string_view(r.name) == "mode 000") {
            if (::geteuid() == 0) {
                std::cout << "[ SKIPPED  ] mode 000 does not keep root out\n";
                continue;
            }
            test::WriteBytes(file, bytes);
            std::filesystem::permissions(file, std::filesystem::perms::none);
        } else if (std::string_view(r.name) == "folder is a file") {
            test::WriteBytes(reg.Dir() / "blocker", "x");
            file = reg.Dir() / "blocker" / "registry.reg";
        } else {
            file = reg.Dir() / "folder.reg";
            std::filesystem::create_directory(file);
        }
        ScopedEnv env("VANTOR_REGISTRY", file.c_str());
        const std::optional<StoreFailure> failure = OpenSettingsStore();
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->where, file.string());
        EXPECT_NE(failure->why.find(r.why), std::string::npos) << failure->why;
        EXPECT_NE(StoreFailureText(*failure).find(file.string()), std::string::npos);

        EXPECT_EQ(GetSettingLong(setting::kServerPort), 7000);
        EXPECT_EQ(GetSettingLong("PageIn", 33023), 33023);
        EXPECT_EQ(GetSettingString("ServerHost", "localhost"), "localhost");
        EXPECT_FALSE(SaveSettingLong("Server", 1));
        EXPECT_FALSE(SaveSettingString("LastNickName", "bob"));
        CloseSettingsStore();
        // Back to the classic store: a key it cannot open reads as 0.
        EXPECT_EQ(GetSettingLong("PageIn", 33023), 0);
        if (std::string_view(r.name) == "mode 000") {
            std::filesystem::permissions(file, std::filesystem::perms::owner_read);
            EXPECT_EQ(test::ReadBytes(file), bytes);
        } else if (std::string_view(r.name) == "file is a folder") {
            EXPECT_TRUE(std::filesystem::is_empty(file));
        }
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
#endif
}

}  // namespace
}  // namespace vantor
