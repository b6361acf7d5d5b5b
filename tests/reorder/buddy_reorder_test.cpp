// SPDX-License-Identifier: MIT
#include "reorder/buddy_reorder.h"

#include <gtest/gtest.h>

#include "fake_reorder_link.h"
#include "reorder/buddy_restore.h"
#include "support/file_bytes.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

using Cause = BuddyReorder::Cause;
using Names = std::vector<std::string>;

struct Reorder {
    TempDir dir;
    FakeReorderLink link;
    BuddyRestore restore{dir.Path() / "restore.txt"};
    std::unique_ptr<BuddyReorder> reorder =
        std::make_unique<BuddyReorder>(link, restore, dir.Path() / "BudListReordTemp.tmp");
    std::vector<int> progress;
    int succeeded = 0;
    std::vector<BuddyReorder::Failure> failures;

    Reorder() {
        reorder->Progress = [this](int value) { progress.push_back(value); };
        reorder->Succeeded = [this] { ++succeeded; };
        reorder->Failed = [this](const BuddyReorder::Failure& f) { failures.push_back(f); };
    }
};

// Every Param and code list of the commands sent from `from` on.
void ExpectPhase(const FakeReorderLink& link, std::size_t from, int param, const char* answer) {
    for (std::size_t i = from; i < link.sent.size(); ++i) {
        EXPECT_EQ(std::any_cast<int>(link.sent[i].param), param) << link.sent[i].command;
        EXPECT_EQ(link.sent[i].code.substr(0, 4), std::string(answer) + ",");
    }
}

TEST(BuddyReorder, deletesEveryBuddyThenAddsThemInTheNewOrderCountingEachAnswer) {
    struct Case {
        Names order;
        std::string deletes, adds, file;
    };
    const Case cases[] = {
        {{"solo"}, "DELBUDDY solo", "ADDBUDDY solo", "solo\r\n"},
        {{"C", "A", "B"},
         "DELBUDDY C|DELBUDDY A|DELBUDDY B",
         "ADDBUDDY C|ADDBUDDY A|ADDBUDDY B",
         "C\r\nA\r\nB\r\n"},
    };
    for (const Case& c : cases) {
        Reorder r;
        const int total = int(c.order.size());
        ASSERT_TRUE(r.reorder->Start(c.order));
        EXPECT_EQ(r.reorder->Max(), 2 * total);
        EXPECT_EQ(r.link.Commands(), c.deletes);
        ExpectPhase(r.link, 0, 1, "335");
        EXPECT_EQ(ReadBytes(r.dir.Path() / "BudListReordTemp.tmp"), c.file);
        // Recorded before any answer: a crash from here on still restores everyone.
        EXPECT_EQ(r.restore.Pending("me"), c.order);

        r.link.Answer("335", total - 1);
        EXPECT_EQ(r.link.sent.size(), c.order.size());  // no add before the last delete's answer
        r.link.Answer("335");
        EXPECT_EQ(r.reorder->Value(), total);
        EXPECT_EQ(r.link.Commands(c.order.size()), c.adds);
        ExpectPhase(r.link, c.order.size(), 2, "334");

        r.link.Answer("334", total);
        std::vector<int> expected;
        for (int v = 1; v <= 2 * total; ++v) expected.push_back(v);
        EXPECT_EQ(r.progress, expected);
        EXPECT_EQ(r.succeeded, 1);
        EXPECT_TRUE(r.failures.empty());
        EXPECT_FALSE(std::filesystem::exists(r.restore.File()));
        EXPECT_EQ(r.reorder->BudCB(), nullptr);  // released
    }
}

TEST(BuddyReorder, anEmptyListStartsNothingAndSendsNothing) {
    Reorder r;
    EXPECT_FALSE(r.reorder->Start({}));
    EXPECT_TRUE(r.link.sent.empty());
    EXPECT_FALSE(r.reorder->Touched());
    EXPECT_FALSE(std::filesystem::exists(r.dir.Path() / "BudListReordTemp.tmp"));
}

TEST(BuddyReorder, aFailedPhaseReportsWhatHappenedAndKeepsEveryBuddyNotYetBack) {
    enum Trouble { kSilence, kAnswer, kDrop, kSessionError };
    struct Case {
        const char* name;
        int deleteAnswers, addAnswers;  // answered before the trouble
        bool linkDown;
        Trouble trouble;
        const char* answer;
        Cause cause;
        int phase;
        Names pending;
        std::string refused;
    };
    const Names all{"C", "A", "B"};
    const Case cases[] = {
        {"silent while deleting", 1, 0, false, kSilence, "", Cause::NoAnswer, 1, all, ""},
        {"silent while adding", 3, 1, false, kSilence, "", Cause::NoAnswer, 2, {"A", "B"}, ""},
        {"silent, link found closed", 2, 0, true, kSilence, "", Cause::ConnectionLost, 1, all, ""},
        {"delete refused", 1, 0, false, kAnswer, "401", Cause::Refused, 1, all, "A"},
        {"add refused", 3, 2, false, kAnswer, "401", Cause::Refused, 2, {"B"}, "B"},
        {"dropped while deleting", 0, 0, true, kDrop, "", Cause::ConnectionLost, 1, all, ""},
        {"dropped while adding", 3, 2, true, kDrop, "", Cause::ConnectionLost, 2, {"B"}, ""},
        {"session error while adding", 3, 0, false, kSessionError, "", Cause::SessionError, 2, all,
         ""},
        {"link down when the adds start", 2, 0, true, kAnswer, "335", Cause::ConnectionLost, 2, all,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reorder r;
        ASSERT_TRUE(r.reorder->Start(all));
        r.link.Answer("335", c.deleteAnswers);
        r.link.Answer("334", c.addAnswers);
        const std::size_t before = r.link.sent.size();
        const std::size_t progress = r.progress.size();
        r.link.connected = !c.linkDown;
        if (c.trouble == kSilence) r.reorder->NoAnswer();
        if (c.trouble == kAnswer) r.link.Answer(c.answer);
        if (c.trouble == kDrop) r.reorder->ConnectionLost();
        if (c.trouble == kSessionError) r.reorder->SessionError(100);

        const bool addingBack = !c.linkDown && c.trouble != kSessionError;
        ASSERT_EQ(r.failures.size(), 1u);
        const auto& f = r.failures[0];
        EXPECT_EQ(f.cause, c.cause);
        EXPECT_EQ(f.phase, c.phase);
        EXPECT_EQ(f.pending, c.pending);
        EXPECT_EQ(f.addingBack, addingBack);
        EXPECT_EQ(f.nick, c.refused);
        EXPECT_EQ(f.code, c.cause == Cause::Refused ? "401" : "");
        EXPECT_EQ(f.error, c.cause == Cause::SessionError ? 100 : 0);
        EXPECT_EQ(r.restore.Pending("me"), c.pending);

        // Added back at once only while the link is up; otherwise nothing more goes out.
        std::string back;
        for (const auto& nick : c.pending) back += (back.empty() ? "" : "|") + ("ADDBUDDY " + nick);
        EXPECT_EQ(r.link.Commands(before), addingBack ? back : "");
        for (std::size_t i = before; i < r.link.sent.size(); ++i)
            EXPECT_EQ(r.link.sent[i].code.substr(0, 4), "334,");

        // Late answers and later trouble reach nobody; confirmed add-backs leave the record.
        while (r.link.queue.Size() > 0) {
            const std::string& codes = r.link.queue.At(0).Code;
            r.link.Answer(codes.substr(0, codes.find(',')));
        }
        r.reorder->NoAnswer();
        r.reorder->ConnectionLost();
        EXPECT_EQ(r.failures.size(), 1u);
        EXPECT_EQ(r.succeeded, 0);
        EXPECT_EQ(r.progress.size(), progress + (c.answer == std::string("335") ? 1 : 0));
        EXPECT_EQ(r.restore.Pending("me"), addingBack ? Names{} : c.pending);
    }
}

TEST(BuddyReorder, aHandlerMayDestroyTheRunFromInsideASendOrAnAnswer) {
    {  // a send fails on the second delete; the failure handler drops the run
        Reorder r;
        r.link.onSend = [&r](const std::string& command) {
            if (command == "DELBUDDY A" && r.reorder) r.reorder->SessionError(100);
        };
        r.reorder->Failed = [&r](const BuddyReorder::Failure&) { r.reorder.reset(); };
        r.reorder->Start({"C", "A", "B"});
        EXPECT_EQ(r.reorder, nullptr);
        EXPECT_EQ(r.link.Commands(), "DELBUDDY C|DELBUDDY A");
        EXPECT_EQ(r.restore.Pending("me"), (Names{"C", "A", "B"}));
    }
    {  // the success handler drops the run
        Reorder r;
        r.reorder->Succeeded = [&r] { r.reorder.reset(); };
        r.reorder->Start({"C", "A"});
        r.link.Answer("335", 2);
        r.link.Answer("334", 2);
        EXPECT_EQ(r.reorder, nullptr);
    }
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
    EXPECT_EQ(ReadBytes(file), "ann A B\r\nBob x\r\n");
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
