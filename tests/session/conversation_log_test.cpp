// SPDX-License-Identifier: MIT
#include "session/conversation_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings_source.h"
#include "support/debug_recorder.h"
#include "support/fake_settings.h"
#include "support/file_bytes.h"
#include "support/pump.h"
#include "support/temp_registry.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vantor {
namespace {

namespace fs = std::filesystem;

constexpr LogTime kMorning{2024, 3, 5, 9, 7, 2};
constexpr LogTime kEvening{2024, 12, 31, 23, 59, 59};

TEST(LogFileName, keepsNamesSafeAndApart) {
    struct Row {
        const char* name;
        const char* file;
    } const rows[] = {
        {"Bob", "bob"},  // folded: Bob and bob share a file
        {"bob", "bob"},
        {"[x]^{y}-_9", "[x]^{y}-_9"},
        {"..", "%2E%2E"},
        {"../etc/passwd", "%2E%2E%2Fetc%2Fpasswd"},
        {"a\\b|c", "a%5Cb%7Cc"},
        {"a b:c", "a%20b%3Ac"},
        {"100%", "100%25"},  // the escape itself, so no two names meet
        {"\xC9lan", "%E9lan"},
        {"CON", "%63on"},  // device names of Windows
        {"lpt9", "%6Cpt9"},
        {"com10", "com10"},
        {"#Lob_12_0", "#lob_12_0"},
        {"", "%"},
    };
    for (const Row& row : rows) EXPECT_EQ(LogFileName(row.name), row.file) << row.name;
}

// A page from a 300-character nickname could not be logged: its file name was past 255 bytes.
TEST(LogFileName, aLongNameIsCutWithAStableHashThatKeepsNamesApart) {
    const std::string longNick(300, 'a');
    const std::string other = std::string(299, 'a') + "b";
    const std::string cut = LogFileName(longNick);
    EXPECT_EQ(cut.size(), kMaxLogName);
    EXPECT_EQ(cut.substr(0, 10), "aaaaaaaaaa");
    EXPECT_EQ(cut[cut.size() - 9], '~');
    EXPECT_EQ(LogFileName(longNick), cut);               // the same file every time
    EXPECT_EQ(LogFileName(std::string(300, 'A')), cut);  // and for the same peer folded
    EXPECT_NE(LogFileName(other), cut);                  // but not for another
    EXPECT_EQ(LogFileName(std::string(kMaxLogName, 'a')).size(), kMaxLogName);  // fits: kept
    // Escapes are not cut in the middle.
    const std::string spaced = LogFileName(std::string(300, ' '));
    EXPECT_LE(spaced.size(), kMaxLogName);
    EXPECT_EQ(spaced.substr(0, spaced.size() - 9).size() % 3, 0u);
}

class ConversationLogTest : public ::testing::Test {
protected:
    ConversationLogTest() { SetSettingsSource(&settings); }
    ~ConversationLogTest() override {
        SetLogFailureNotice(nullptr);
        SetSettingsSource(nullptr);
    }
    test::FakeSettings settings;
    test::TempDir dir;
    fs::path root = dir.Path() / "data" / "logs";
};

TEST_F(ConversationLogTest, entriesLandInThePeersFileWithTheirStampsOneALine) {
    ConversationLog log(LogPath(root, "Ann", "Bob"));
    EXPECT_TRUE(log.Append("ann: hi", kMorning));
    EXPECT_TRUE(log.Append("bob: two\r\nlines\nand\rmore", kEvening));
    ConversationLog again(LogPath(root, "ann", "BOB"));  // the same pair, reopened
    EXPECT_TRUE(again.Append("ann: bye", kEvening));

    EXPECT_EQ(log.File(), root / "ann" / "bob.log");
    EXPECT_EQ(test::ReadBytes(log.File()),
              "[2024-03-05 09:07:02] ann: hi\n"
              "[2024-12-31 23:59:59] bob: two lines and more\n"
              "[2024-12-31 23:59:59] ann: bye\n");
}

TEST_F(ConversationLogTest, gatheredEntriesWaitForTheFlushOrTheEnd) {
    const fs::path file = LogPath(root, "ann", "#Lob_12_0");
    {
        ConversationLog log(file, ConversationLog::Writes::kOnFlush);
        log.Append("bob: one", kMorning);
        log.Append("bob: two", kMorning);
        EXPECT_EQ(test::ReadBytes(file), "");
        EXPECT_TRUE(log.Flush());
        EXPECT_EQ(ReadLogTail(file, 5).size(), 2u);
        log.Append("bob: three", kEvening);
    }
    EXPECT_EQ(test::ReadBytes(file),
              "[2024-03-05 09:07:02] bob: one\n"
              "[2024-03-05 09:07:02] bob: two\n"
              "[2024-12-31 23:59:59] bob: three\n");
}

#ifndef _WIN32
TEST_F(ConversationLogTest, foldersAndFilesItMakesAreTheUsersAlone) {
    ConversationLog log(LogPath(root, "ann", "bob"));
    ASSERT_TRUE(log.Append("ann: hi", kMorning));
    const auto perms = [](const fs::path& p) { return fs::status(p).permissions(); };
    EXPECT_EQ(perms(root.parent_path()), fs::perms::owner_all);
    EXPECT_EQ(perms(root), fs::perms::owner_all);
    EXPECT_EQ(perms(root / "ann"), fs::perms::owner_all);
    EXPECT_EQ(perms(log.File()), fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST_F(ConversationLogTest, anUnwritableFolderIsReportedOnceAndEntriesGoOn) {
    // A file where the folder should be: no folder can be made there, even by root.
    fs::create_directories(dir.Path() / "data");
    test::WriteBytes(root, "not a folder");
    std::vector<std::string> notices;
    SetLogFailureNotice([&](const std::string& message) { notices.push_back(message); });
    test::LogCapture debug;

    ConversationLog log(LogPath(root, "ann", "bob"));
    EXPECT_FALSE(log.Append("ann: one", kMorning));
    EXPECT_FALSE(log.Append("ann: two", kMorning));
    ConversationLog reopened(LogPath(root, "ann", "bob"));
    EXPECT_FALSE(reopened.Append("ann: three", kMorning));

    const std::string expected =
        "The conversation log " + log.File().string() + " cannot be written.";
    EXPECT_EQ(notices, std::vector<std::string>{expected});
    EXPECT_EQ(std::count_if(debug.entries->begin(), debug.entries->end(),
                            [](const test::LogEntry& e) { return e.kind == kLogError; }),
              1);
    EXPECT_TRUE(debug.Has(expected, kLogError));
}

TEST_F(ConversationLogTest, tailGivesTheLastWholeLinesOldestFirst) {
    const fs::path file = dir.Path() / "t.log";
    const std::string longLine(100 * 1024, 'x');  // longer than a block read from the end
    struct Row {
        const char* what;
        std::string bytes;
        std::size_t count;
        std::vector<std::string> tail;
    } const rows[] = {
        {"empty", "", 20, {}},
        {"fewer than asked", "a\nb\n", 20, {"a", "b"}},
        {"the last ones", "a\nb\nc\nd\n", 2, {"c", "d"}},
        {"a cut last line counts", "a\nb\nc", 2, {"b", "c"}},
        {"CR LF ends", "a\r\nb\r\n", 5, {"a", "b"}},
        {"blank lines skipped", "a\n\nb\n", 5, {"a", "b"}},
        {"a line longer than a block", "a\n" + longLine + "\nb\n", 2, {longLine, "b"}},
        {"the line before the first is not cut into it", longLine + "\nb\nc\n", 2, {"b", "c"}},
    };
    for (const Row& row : rows) {
        test::WriteBytes(file, row.bytes);
        EXPECT_EQ(ReadLogTail(file, row.count), row.tail) << row.what;
    }
    EXPECT_TRUE(ReadLogTail(dir.Path() / "missing.log", 20).empty());
}

#ifndef _WIN32
// A writer killed at any moment leaves every line it finished intact; the next run starts on a
// line of its own.
TEST_F(ConversationLogTest, aKilledWriterLeavesEveryFinishedLineIntact) {
    const fs::path file = LogPath(root, "ann", "bob");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ConversationLog log(file);
        for (int i = 0; i < 100000; ++i) log.Append("bob: entry " + std::to_string(i), kMorning);
        for (;;) pause();  // the kill may come while writing or after
    }
    const bool enough = test::PumpUntil(
        [&] {
            std::error_code ec;
            return fs::file_size(file, ec) > 300 * 40 && !ec;
        },
        [] {});
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(enough);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::string bytes = test::ReadBytes(file);
    auto lines = ReadLogTail(file, bytes.size());
    const bool cut = !bytes.empty() && bytes.back() != '\n';
    const std::string lastCut = cut ? lines.back() : std::string();
    if (cut) lines.pop_back();
    ASSERT_GT(lines.size(), 300u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i], "[2024-03-05 09:07:02] bob: entry " + std::to_string(i));
    }
    const std::string next = "[2024-03-05 09:07:02] bob: entry " + std::to_string(lines.size());
    EXPECT_EQ(lastCut, next.substr(0, lastCut.size()));

    ConversationLog after(file);
    ASSERT_TRUE(after.Append("ann: back", kEvening));
    EXPECT_EQ(ReadLogTail(file, 1), std::vector<std::string>{"[2024-12-31 23:59:59] ann: back"});
}
#endif

TEST_F(ConversationLogTest, aLongNicknamesLogIsCreatedAndReused) {
    const std::string nick(300, 'z');
    {
        ConversationLog log(LogPath(root, "ann", nick));
        EXPECT_TRUE(log.Append("zzz: hi", kMorning));
    }
    ConversationLog again(LogPath(root, "ann", nick));
    EXPECT_TRUE(again.Append("ann: hello", kEvening));
    EXPECT_LE(again.File().filename().string().size(), 200u);
    EXPECT_EQ(test::ReadBytes(again.File()),
              "[2024-03-05 09:07:02] zzz: hi\n[2024-12-31 23:59:59] ann: hello\n");
}

// A busy lobby's log grew 1.5 MB in five minutes, without bound.
TEST_F(ConversationLogTest, aLogPastItsSizeStartsAfreshKeepingOneOldFile) {
    settings.numbers["LogRotateMB"] = 1;
    const fs::path file = LogPath(root, "ann", "#Lob_12_0");
    fs::path old = file;
    old += ".1";
    const std::string line(300 * 1024, 'x');  // 300 KiB: the fourth passes 1 MiB
    ConversationLog log(file, ConversationLog::Writes::kOnFlush);
    for (int i = 0; i < 3; ++i) log.Append(line, kMorning);
    ASSERT_TRUE(log.Flush());
    EXPECT_FALSE(fs::exists(old));
    log.Append("first of the new", kEvening);
    log.Append(line, kEvening);
    ASSERT_TRUE(log.Flush());
    EXPECT_EQ(fs::file_size(old), 3 * (line.size() + 23));
    EXPECT_TRUE(test::ReadBytes(file).starts_with("[2024-12-31 23:59:59] first of the new\n"));
    // Once more: the old file before is gone, one is kept.
    for (int i = 0; i < 3; ++i) log.Append(line, kMorning);
    ASSERT_TRUE(log.Flush());
    EXPECT_TRUE(test::ReadBytes(old).starts_with("[2024-12-31 23:59:59] first of the new\n"));
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              2);

    // Switched off, it grows.
    settings.numbers["LogRotateMB"] = 0;
    ConversationLog unbounded(LogPath(root, "ann", "#Lob_12_1"));
    for (int i = 0; i < 5; ++i) unbounded.Append(line, kMorning);
    EXPECT_GT(fs::file_size(unbounded.File()), 1024u * 1024u);
}

}  // namespace
}  // namespace vantor
