// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "diagnostics/debug_log.h"
#include "settings/settings_store.h"
#include "support/file_bytes.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

std::string ReadDump() {
    return test::ReadBytes("DebugDump.txt");
}

struct Entry {
    Tag tag;
    std::string message;
    int kind;
    bool operator==(const Entry&) const = default;
};

// What the fake windows saw, outliving the windows themselves.
struct WindowLog {
    int made = 0;
    int shown = 0;
    int shutDown = 0;
    int destroyed = 0;
    std::vector<Entry> entries;
    std::function<void(const Entry&)> onAdd;
};

class FakeWindow : public DebugWindow {
public:
    explicit FakeWindow(WindowLog& log) : log_(log) { ++log_.made; }
    ~FakeWindow() override { ++log_.destroyed; }
    void AddDebug(const Tag& tag, std::string_view message, int kind) override {
        Entry entry{tag, std::string(message), kind};
        if (log_.onAdd) log_.onAdd(entry);
        // Still alive after whatever the handler did.
        log_.entries.push_back(std::move(entry));
        EXPECT_FALSE(log_.destroyed > destroyedAtStart_);
    }
    void ShowWindow() override { ++log_.shown; }
    void ShutDown() override { ++log_.shutDown; }

private:
    WindowLog& log_;
    int destroyedAtStart_ = log_.destroyed;
};

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDebugWindowFactory([this] { return std::make_unique<FakeWindow>(windows_); });
    }
    void TearDown() override {
        ShutDownDebug();
        SetDebugWindowFactory(nullptr);
    }
    void Start(std::int32_t dump, std::int32_t show) {
        ASSERT_TRUE(SaveSettingLong("DumptoFile", dump));
        ASSERT_TRUE(SaveSettingLong("ShowDebugWin", show));
        InitDebug();
        ShowDebugWindow();
    }

    test::ScopedRegistry registry_;
    WindowLog windows_;
};

TEST_F(DebugLogTest, anyNonZeroDumpValueOpensTheFileButOnlyOneShowsTheWindow) {
    InitDebug();  // the defaults leave both off
    ShowDebugWindow();
    DebugLog(0, "unseen", kLogNote);
    EXPECT_FALSE(std::filesystem::exists("DebugDump.txt"));

    Start(5, 2);
    DebugLog(0, "note", kLogNote);
    EXPECT_EQ(ReadDump(), "note\r\n");
    EXPECT_EQ(windows_.made, 0);

    Start(0, 1);
    EXPECT_EQ(windows_.made, 1);
    EXPECT_EQ(windows_.shown, 1);
    DebugLog(3, "to window", kLogSent);
    EXPECT_EQ(ReadDump(), "note\r\n");
    EXPECT_EQ(windows_.entries, (std::vector<Entry>{{Tag(3), "to window", kLogSent}}));
}

TEST_F(DebugLogTest, dumpLineNamesItsSourceByKind) {
    Start(1, 0);
    DebugLog(0, "Sockets initialized.", kLogNote);
    DebugLog(std::string("M"), "Error sending command.", kLogError);
    DebugLog(0, "CVERS 11020 3072", kLogSent);
    DebugLog(std::string(), "NICK bob", kLogSent);
    DebugLog(std::string("M"), ":s 375 bob :- Welcome", kLogReplyStart);
    DebugLog(7, "PING :x", kLogHandled);
    DebugLog(std::string("bud1"), ":s 398 x", kLogUnhandled);
    DebugLog(std::string("M"), "odd", 9);
    DebugLog(std::string("M"), "negative", -5);
    DebugLog(0, "Ren\xE9 \x80", kLogIntercepted);
    EXPECT_EQ(ReadDump(),
              "Sockets initialized.\r\n"
              "Error sending command.\r\n"
              "QORVANE#0-CVERS 11020 3072\r\n"
              "QORVANE#-NICK bob\r\n"
              "WESTIRC#M-:s 375 bob :- Welcome\r\n"
              "WESTIRC#7-PING :x\r\n"
              "WESTIRC#bud1-:s 398 x\r\n"
              "WESTIRC#M-odd\r\n"
              "WESTIRC#M-negative\r\n"
              "WESTIRC#0-Ren\xE9 \x80\r\n");
}

// Shut down, the window is told, then destroyed, and nothing is logged until the next run.
TEST_F(DebugLogTest, eachRunAppendsToTheDumpFileAndShutDownEndsTheWindow) {
    std::ofstream("DebugDump.txt", std::ios::binary) << "earlier run\r\n";
    Start(1, 1);
    DebugLog(0, "first", kLogNote);
    ShutDownDebug();
    EXPECT_EQ(windows_.shutDown + windows_.destroyed, 2);
    DebugLog(0, "after shut-down", kLogNote);
    ShutDownDebug();
    EXPECT_EQ(windows_.shutDown, 1);
    Start(1, 0);
    DebugLog(0, "second", kLogNote);
    EXPECT_EQ(ReadDump(), "earlier run\r\nfirst\r\nsecond\r\n");
    EXPECT_EQ(windows_.entries, (std::vector<Entry>{{Tag(0), "first", kLogNote}}));
}

TEST_F(DebugLogTest, windowShutDownFromInsideAnAppendOutlivesThatAppend) {
    Start(0, 1);
    windows_.onAdd = [this](const Entry& e) {
        if (e.message == "outer") {
            DebugLog(0, "nested", kLogNote);  // a handler logging in the middle of an append
            ShutDownDebug();
            EXPECT_EQ(windows_.destroyed, 0);
        }
    };
    DebugLog(0, "outer", kLogNote);
    EXPECT_EQ(windows_.destroyed, 1);
    EXPECT_EQ(windows_.entries,
              (std::vector<Entry>{{Tag(0), "nested", kLogNote}, {Tag(0), "outer", kLogNote}}));
}

TEST_F(DebugLogTest, unopenableDumpFileStillFeedsTheWindow) {
    std::filesystem::create_directory("DebugDump.txt");
    SaveSettingLong("StatusReasons", 0);  // the classic log swallows the failure
    Start(1, 1);
    DebugLog(0, "still shown", kLogNote);
    EXPECT_EQ(windows_.entries, (std::vector<Entry>{{Tag(0), "still shown", kLogNote}}));
}

#ifndef _WIN32
// The dump holds every page and lobby line, and was made readable by everyone on the machine.
TEST_F(DebugLogTest, theDumpIsTheUsersAloneWhetherNewOrFoundReadableByOthers) {
    namespace fs = std::filesystem;
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "existing 0644" : "new");
        fs::remove("DebugDump.txt");
        if (existing) {
            test::WriteBytes("DebugDump.txt", "before\r\n");
            fs::permissions("DebugDump.txt", fs::perms::owner_read | fs::perms::owner_write |
                                                 fs::perms::group_read | fs::perms::others_read);
        }
        Start(1, 0);
        DebugLog(0, "secret page", kLogNote);
        EXPECT_EQ(fs::status("DebugDump.txt").permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(ReadDump(), std::string(existing ? "before\r\n" : "") + "secret page\r\n");
        ShutDownDebug();
    }
}
#endif

// A dump that could not be written (a read-only folder, a folder of that name) said nothing.
TEST_F(DebugLogTest, aDumpThatCannotBeOpenedIsToldOnceInTheWindowAndTheStatusLine) {
    std::filesystem::create_directory("DebugDump.txt");
    std::vector<std::string> told;
    SetLogFailureNotice([&](const std::string& message) { told.push_back(message); });
    Start(1, 1);
    DebugLog(0, "still shown", kLogNote);
    // The reason is the system's: "is a directory" here, "permission denied" on Windows.
    ASSERT_EQ(told.size(), 1u);
    const std::string said = told[0];
    EXPECT_TRUE(said.starts_with("The debug dump " +
                                 std::filesystem::absolute("DebugDump.txt").string() +
                                 " cannot be opened: "))
        << said;
    EXPECT_TRUE(said.ends_with(".")) << said;
#ifndef _WIN32
    EXPECT_TRUE(said.ends_with(": is a directory.")) << said;
#endif
    EXPECT_EQ(windows_.entries,
              (std::vector<Entry>{{Tag(), said, kLogError}, {Tag(0), "still shown", kLogNote}}));
    SetLogFailureNotice(nullptr);

    // Told before anyone listens, it waits for the status line.
    Start(1, 0);
    SetLogFailureNotice([&](const std::string& message) { told.push_back(message); });
    EXPECT_EQ(told.size(), 2u);
    SetLogFailureNotice(nullptr);
}

}  // namespace
}  // namespace vantor
