// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "settings/registry_test_util.h"
#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

using test::kSettingsSection;
using test::QueryRaw;
using test::ReadBytes;
using test::SetRaw;
using test::WriteBytes;

std::string Section() {
    return std::string(kSettingsSection);
}

TEST(RegistryFile, keyIsNewOnlyWhileItsSectionIsMissing) {
    test::ScopedRegistry reg;
    WriteBytes(reg.File(),
               "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Other]\n\"Server\"=dword:00000002\n");
    bool created = false;
    ASSERT_TRUE(registry::CreateKey(test::kSettingsKey, &created));
    EXPECT_TRUE(created);
    ASSERT_TRUE(registry::CreateKey(test::kSettingsKey, &created));
    EXPECT_FALSE(created);
    // A value of the same name in another section is not ours.
    EXPECT_EQ(GetSettingLong("Server", 1), 1);

    // Key names compare without regard to case, like the registry's.
    WriteBytes(reg.File(),
               "REGEDIT4\n\n[hkey_local_machine\\SOFTWARE\\koval\\VANTOR DESKTOP\\settings]\n"
               "\"Server\"=dword:00000002\n");
    ASSERT_TRUE(registry::CreateKey(test::kSettingsKey, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(GetSettingLong("Server", 1), 2);
}

TEST(RegistryFile, valueNamesIgnoreCase) {
    test::ScopedRegistry reg;
    ASSERT_TRUE(SaveSettingLong("server", 2));
    ASSERT_TRUE(SaveSettingLong("SERVER", 0));
    EXPECT_EQ(GetSettingLong("Server", 1), 0);
    ASSERT_TRUE(SaveSettingString("Caf\xE9", "one"));   // e acute
    EXPECT_EQ(GetSettingString("CAF\xC9", ""), "one");  // E acute
    const std::string file = ReadBytes(reg.File());
    EXPECT_EQ(file.find("server"), std::string::npos) << file;
    EXPECT_NE(file.find("\"SERVER\"=dword:00000000"), std::string::npos) << file;
    EXPECT_EQ(file.find("\"CAF\xC9\""), std::string::npos) << file;
}

TEST(RegistryFile, valuesKeepTypeAndExactBytes) {
    test::ScopedRegistry reg;
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string bytes;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"Dword", registry::kRegDword, std::string("\x78\x56\x34\x12", 4),
         "\"Dword\"=dword:12345678"},
        {"ShortDword", registry::kRegDword, std::string("\x01\x02", 2),
         "\"ShortDword\"=hex(4):01,02"},
        {"Binary", registry::kRegBinary, std::string("\x00\xff", 2), "\"Binary\"=hex:00,ff"},
        {"Expand", registry::kRegExpandSz, std::string("%HOME%\0", 7),
         "\"Expand\"=hex(2):25,48,4f,4d,45,25,00"},
        {"Qword", registry::kRegQword, std::string(8, '\x11'),
         "\"Qword\"=hex(b):11,11,11,11,11,11,11,11"},
        {"Quote\"d\\", registry::kRegSz, std::string("a\\b\"c\0", 6),
         "\"Quote\\\"d\\\\\"=\"a\\\\b\\\"c\""},
        {"", registry::kRegSz, std::string("default\0", 8), "@=\"default\""},
    };
    for (const Case& c : cases)
        ASSERT_EQ(SetRaw(c.name, c.type, c.bytes), registry::kSuccess) << c.name;
    const std::string file = ReadBytes(reg.File());
    for (const Case& c : cases) {
        auto raw = QueryRaw(c.name);
        EXPECT_EQ(raw.rc, registry::kSuccess) << c.name;
        EXPECT_EQ(raw.type, c.type) << c.name;
        EXPECT_EQ(raw.bytes, c.bytes) << c.name;
        EXPECT_NE(file.find(std::string(c.line) + "\n"), std::string::npos) << c.line << "\n"
                                                                            << file;
    }
}

TEST(RegistryFile, readsRegeditFilesWithCrLfAndWrappedHex) {
    test::ScopedRegistry reg;
    WriteBytes(reg.File(), "REGEDIT4\r\n\r\n" + Section() +
                               "\r\n"
                               "\"Nick\"=\"bob\"\r\n"
                               "  \"Server\" = dword:00000002\r\n"
                               "\"Blob\"=hex:01,02,03,\\\r\n"
                               "  04,05\r\n"
                               "\"After\"=dword:0000000a\r\n");
    EXPECT_EQ(GetSettingString("Nick", ""), "bob");
    EXPECT_EQ(GetSettingLong("Server", 0), 2);
    EXPECT_EQ(QueryRaw("Blob").bytes, std::string("\x01\x02\x03\x04\x05", 5));
    EXPECT_EQ(GetSettingLong("After", 0), 10);

    // Replacing the wrapped value takes its continuation line with it; the file keeps CR LF.
    ASSERT_EQ(SetRaw("Blob", registry::kRegBinary, "\x09"), registry::kSuccess);
    const std::string file = ReadBytes(reg.File());
    EXPECT_EQ(file, "REGEDIT4\r\n\r\n" + Section() +
                        "\r\n"
                        "\"Nick\"=\"bob\"\r\n"
                        "  \"Server\" = dword:00000002\r\n"
                        "\"Blob\"=hex:09\r\n"
                        "\"After\"=dword:0000000a\r\n");
}

TEST(RegistryFile, linesItDoesNotUnderstandSurviveEveryWrite) {
    test::ScopedRegistry reg;
    const std::vector<std::string> foreign = {
        "; exported by hand",
        "[HKEY_CURRENT_USER\\Software\\Elsewhere]",
        "\"Keep\"=\"me\"",
        "[HKEY_LOCAL_MACHINE\\Software\\KOVAL\\Vantor Desktop\\Settings]",
        "\"Odd\"=hex(4):4b,00,00,00,00,00,00,00",
        "\"Strange\"=qword:0000000000000001",
        "this line means nothing",
        "\"Removed\"=-",
        "[HKEY_LOCAL_MACHINE\\Software\\KOVAL\\Vantor Desktop\\Settings\\Sub]",
        "\"Server\"=dword:00000002",
        "",
    };
    std::string text = "REGEDIT4\n";
    for (const std::string& line : foreign) text += line + "\n";
    WriteBytes(reg.File(), text);

    EXPECT_EQ(GetSettingLong("Server", 1), 1);  // the sub-key's value is another value
    EXPECT_TRUE(SaveSettingString("LastNickName", "bob"));
    EXPECT_TRUE(SaveSettingLong("Server", 0));
    EXPECT_EQ(GetSettingLong("Odd", 5), 5);
    EXPECT_EQ(GetSettingLong("Strange", 6), 6);  // unreadable data counts as missing...
    EXPECT_TRUE(SaveSettingString("LastNickName", "carol"));

    const std::string file = ReadBytes(reg.File());
    std::size_t at = 0;
    for (const std::string& line : foreign) {
        if (line.empty() || line == "\"Strange\"=qword:0000000000000001") continue;
        std::size_t found = file.find(line + "\n", at);
        EXPECT_NE(found, std::string::npos) << "lost or moved: " << line << "\n" << file;
        if (found != std::string::npos) at = found + line.size();
    }
    // ...and is replaced once the program writes that value.
    EXPECT_NE(file.find("\"Strange\"=dword:00000006\n"), std::string::npos) << file;
    EXPECT_EQ(GetSettingString("LastNickName", ""), "carol");
    EXPECT_EQ(GetSettingLong("Server", 1), 0);
}

TEST(RegistryFile, badFilesNeverBreakTheStore) {
    test::ScopedRegistry reg;
    std::mt19937 rng(12345);
    std::string junk(4096, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    std::string huge;
    while (huge.size() < 6'000'000) huge += "\"Filler\"=hex:00,01,02,03,04,05,06,07,08,09\n";

    const std::vector<std::pair<const char*, std::string>> files = {
        {"garbage lines",
         "REGEDIT4\n" + Section() + "\n=\n\"\n\"x\n\"y\"=\n\"z\"=\"open\n[\n]\n[]\n@\n"},
        {"missing header", Section() + "\n\"Server\"=dword:00000002\n"},
        {"truncated hex", "REGEDIT4\n" + Section() + "\n\"Server\"=hex(4):02,00,0"},
        {"truncated continuation", "REGEDIT4\n" + Section() + "\n\"Server\"=hex:02,\\"},
        {"bad hex",
         "REGEDIT4\n" + Section() + "\n\"Server\"=hex(4):zz,100,\n\"Other\"=dword:123456789\n"},
        {"binary junk", junk},
        {"junk in section", "REGEDIT4\n" + Section() + "\n" + junk + "\n"},
        {"many megabytes", "REGEDIT4\n" + Section() + "\n" + huge},
        {"empty", ""},
    };
    for (const auto& [what, content] : files) {
        SCOPED_TRACE(what);
        WriteBytes(reg.File(), content);
        const std::int32_t first = GetSettingLong("Server", 1);
        EXPECT_TRUE(first == 1 || first == 2) << first;
        EXPECT_EQ(GetSettingString("Nick", "n"), "n");
        EXPECT_TRUE(SaveSettingLong("Server", 7));
        EXPECT_EQ(GetSettingLong("Server", 1), 7);
        EXPECT_EQ(GetSettingString("Nick", "x"), "n");
    }
}

// A numbered value name; appended piece by piece, which GCC 12 does not mistake for an
// overlapping copy as it does "x" + std::string in optimised builds.
std::string Numbered(std::string_view prefix, int i) {
    std::string name(prefix);
    name += std::to_string(i);
    return name;
}

// Child side of the process tests: never returns.
[[noreturn]] void Exit(int code) {
    _exit(code);
}

TEST(RegistryFile, concurrentWritersLoseNoValue) {
    test::ScopedRegistry reg;
    constexpr int kWrites = 500;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (char who : {'A', 'B'}) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(gate[1]);
            char c;
            (void)!read(gate[0], &c, 1);  // both start together when the gate closes
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                if (!SaveSettingLong(Numbered({&who, 1}, i), i * 3 + who)) ++failures;
            }
            Exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (char who : {'A', 'B'}) {
        for (int i = 0; i < kWrites; ++i) {
            const std::string name = Numbered({&who, 1}, i);
            ASSERT_EQ(GetSettingLong(name, -1), i * 3 + who) << name;
        }
    }
}

TEST(RegistryFile, killedWriterLeavesAReadableFileWithEveryFinishedValue) {
    test::ScopedRegistry reg;
    std::mt19937 rng(2024);
    std::vector<std::pair<std::string, int>> finished;
    for (int round = 0; round < 16; ++round) {
        const auto name = [round](int i) { return Numbered(Numbered("R", round) + "_", i); };
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(progress[0]);
            for (int i = 0; i < 100000; ++i) {
                // Rewriting one value over and over keeps every write a full replace.
                SaveSettingString("LastNickName", "writer" + std::to_string(i));
                if (SaveSettingLong(name(i), i)) (void)!write(progress[1], &i, sizeof i);
            }
            Exit(0);
        }
        close(progress[1]);
        const int killAfter = static_cast<int>(rng() % 12) + 1;
        int reported = 0;
        int i = 0;
        while (reported++ < killAfter && read(progress[0], &i, sizeof i) == sizeof i)
            finished.emplace_back(name(i), i);
        // Land the kill at a varying point inside the next write.
        const auto spinUntil =
            std::chrono::steady_clock::now() + std::chrono::microseconds(rng() % 3000);
        while (std::chrono::steady_clock::now() < spinUntil) {
        }
        kill(pid, SIGKILL);
        while (read(progress[0], &i, sizeof i) == sizeof i) finished.emplace_back(name(i), i);
        close(progress[0]);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);

        const std::string file = ReadBytes(reg.File());
        ASSERT_EQ(file.rfind("REGEDIT4\n", 0), 0u) << "round " << round;
        ASSERT_EQ(file.back(), '\n') << "round " << round;
        bool created = true;
        ASSERT_TRUE(registry::CreateKey(test::kSettingsKey, &created));
        EXPECT_FALSE(created);
        EXPECT_EQ(GetSettingString("LastNickName", "").rfind("writer", 0), 0u);
        for (const auto& [value_name, value] : finished)
            ASSERT_EQ(GetSettingLong(value_name, -1), value) << value_name;
    }
}

}  // namespace
}  // namespace vantor
