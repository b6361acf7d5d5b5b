// SPDX-License-Identifier: MIT
#include "reorder/buddy_restore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fake_reorder_link.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

using Names = std::vector<std::string>;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(BuddyRestore, theRecordSurvivesARestartPerAccountAndGoesWhenEmpty) {
    TempDir dir;
    const auto file = dir.Path() / "data" / "pending-restore.txt";
    {
        BuddyRestore restore(file);
        restore.Record("ann", {"C", "A", "B"});
        restore.Record("Bob", {"x"});
        restore.Record("ann", {"A", "B"});  // a later record of the same account replaces it
    }
    EXPECT_EQ(ReadFile(file), "ann A B\r\nBob x\r\n");
#ifndef _WIN32  // Windows keeps no owner-only mode bits: access lists guard the profile instead
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif

    BuddyRestore restarted(file);
    EXPECT_EQ(restarted.Pending("ann"), (Names{"A", "B"}));
    EXPECT_EQ(restarted.Pending("BOB"), Names{"x"});  // log-on names ignore letter case
    EXPECT_TRUE(restarted.Pending("carl").empty());
    restarted.Forget("bob");
    restarted.Record("ann", {});
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(BuddyRestore, atLogOnAddsBackOnlyTheMissingOnesAndForgetsEachOnceConfirmed) {
    TempDir dir;
    const auto file = dir.Path() / "pending-restore.txt";
    BuddyRestore restore(file);
    restore.Record("me", {"C", "A", "B", "D"});
    restore.Record("other", {"Z"});
    FakeReorderLink link;

    // A is on the downloaded list already; "c" is someone else than C.
    const Names back = restore.RestoreAtLogOn(link, {"A", "c", "E"});
    EXPECT_EQ(back, (Names{"C", "B", "D"}));
    EXPECT_EQ(link.Commands(), "ADDBUDDY C|ADDBUDDY B|ADDBUDDY D");
    EXPECT_EQ(restore.Pending("me"), back);

    link.Answer("334");  // C is back
    link.Answer("461");  // B refused: stays for the next log-on
    EXPECT_EQ(restore.Pending("me"), (Names{"B", "D"}));
    EXPECT_EQ(BuddyRestore(file).Pending("me"), (Names{"B", "D"}));
    link.Answer("334");
    EXPECT_EQ(restore.Pending("me"), Names{"B"});
    EXPECT_EQ(restore.Pending("other"), Names{"Z"});

    // Nothing pending: nothing sent.
    FakeReorderLink clean;
    clean.nick = "carl";
    EXPECT_TRUE(restore.RestoreAtLogOn(clean, {}).empty());
    EXPECT_TRUE(clean.sent.empty());
}

}  // namespace
}  // namespace vantor::test
