// SPDX-License-Identifier: MIT
// The registry file under faults: the format itself has its own tests (tests/platform).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
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

using test::ReadBytes;
using test::WriteBytes;

std::string Section() {
    return std::string(test::kSettingsSection);
}

TEST(RegistryFile, linesItDoesNotUnderstandSurviveEveryWrite) {
    test::ScopedRegistry reg;
    const std::vector<std::string> foreign = {
        "; exported by hand",
        "[HKEY_CURRENT_USER\\Software\\Elsewhere]",
        "\"Keep\"=\"me\"",
        Section(),
        "\"Odd\"=hex(4):4b,00,00,00,00,00,00,00",
        "\"Strange\"=qword:0000000000000001",
        "this line means nothing",
        "\"Removed\"=-",
        "[HKEY_LOCAL_MACHINE\\Software\\KOVAL\\Vantor Desktop\\Settings\\Sub]",
        "\"Server\"=dword:00000002",
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
        if (line.find("Strange") != std::string::npos) continue;
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

// Runs the body in a child process that exits with its result and never returns here.
pid_t Fork(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return status;
}

TEST(RegistryFile, concurrentWritersLoseNoValue) {
    test::ScopedRegistry reg;
    constexpr int kWrites = 500;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (char who : {'A', 'B'}) {
        children.push_back(Fork([&] {
            close(gate[1]);
            char c;
            (void)!read(gate[0], &c, 1);  // both start together when the gate closes
            int failures = 0;
            for (int i = 0; i < kWrites; ++i)
                failures += !SaveSettingLong(Numbered({&who, 1}, i), i * 3 + who);
            return failures == 0 ? 0 : 1;
        }));
        ASSERT_GT(children.back(), 0);
    }
    close(gate[0]);
    close(gate[1]);
    for (pid_t pid : children) EXPECT_EQ(WaitFor(pid), 0);
    for (char who : {'A', 'B'}) {
        for (int i = 0; i < kWrites; ++i)
            ASSERT_EQ(GetSettingLong(Numbered({&who, 1}, i), -1), i * 3 + who) << who << i;
    }
}

TEST(RegistryFile, killedWriterLeavesAReadableFileWithEveryFinishedValue) {
    test::ScopedRegistry reg;
    std::mt19937 rng(2024);
    std::vector<std::pair<std::string, int>> finished;
    for (int round = 0; round < 16; ++round) {
        SCOPED_TRACE(round);
        const auto name = [round](int i) { return Numbered(Numbered("R", round) + "_", i); };
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t pid = Fork([&] {
            close(progress[0]);
            for (int i = 0; i < 100000; ++i) {
                // Rewriting one value over and over keeps every write a full replace.
                SaveSettingString("LastNickName", "writer" + std::to_string(i));
                if (SaveSettingLong(name(i), i)) (void)!write(progress[1], &i, sizeof i);
            }
            return 0;
        });
        ASSERT_GT(pid, 0);
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
        WaitFor(pid);

        const std::string file = ReadBytes(reg.File());
        ASSERT_EQ(file.rfind("REGEDIT4\n", 0), 0u);
        ASSERT_EQ(file.back(), '\n');
        EXPECT_EQ(GetSettingString("LastNickName", "").rfind("writer", 0), 0u);
        for (const auto& [value_name, value] : finished)
            ASSERT_EQ(GetSettingLong(value_name, -1), value) << value_name;
    }
}

}  // namespace
}  // namespace vantor
