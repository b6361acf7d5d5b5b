// SPDX-License-Identifier: MIT
#include "reorder/buddy_reorder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fake_reorder_link.h"
#include "reorder/buddy_restore.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

using Cause = BuddyReorder::Cause;
using Names = std::vector<std::string>;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

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
    std::string OrderFile() const { return ReadFile(dir.Path() / "BudListReordTemp.tmp"); }
    // Answers every waiting command as the service would once it answers again.
    void AnswerEverything() {
        while (link.queue.Size() > 0) {
            const std::string& codes = link.queue.At(0).Code;
            link.Answer(codes.substr(0, codes.find(',')));
        }
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
        EXPECT_EQ(r.OrderFile(), c.file);
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
        EXPECT_TRUE(r.restore.Pending("me").empty());
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
    enum Trouble {
        kSilence,
        kSilenceOnClosedLink,
        kErrorAnswer,
        kDrop,
        kSessionError,
        kDownAtAdds
    };
    struct Case {
        const char* name;
        int deleteAnswers, addAnswers;  // answered before the trouble
        Trouble trouble;
        Cause cause;
        int phase;
        Names pending;
        bool addingBack;
        std::string refused;
    };
    const Names all{"C", "A", "B"};
    const Case cases[] = {
        {"silent while deleting", 1, 0, kSilence, Cause::NoAnswer, 1, all, true, ""},
        {"silent while adding", 3, 1, kSilence, Cause::NoAnswer, 2, {"A", "B"}, true, ""},
        {"silent, link found closed", 2, 0, kSilenceOnClosedLink, Cause::ConnectionLost, 1, all,
         false, ""},
        {"delete refused", 1, 0, kErrorAnswer, Cause::Refused, 1, all, true, "A"},
        {"add refused", 3, 2, kErrorAnswer, Cause::Refused, 2, {"B"}, true, "B"},
        {"dropped while deleting", 0, 0, kDrop, Cause::ConnectionLost, 1, all, false, ""},
        {"dropped while adding", 3, 2, kDrop, Cause::ConnectionLost, 2, {"B"}, false, ""},
        {"session error while adding", 3, 0, kSessionError, Cause::SessionError, 2, all, false, ""},
        {"link down when the adds start", 2, 0, kDownAtAdds, Cause::ConnectionLost, 2, all, false,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reorder r;
        ASSERT_TRUE(r.reorder->Start(all));
        r.link.Answer("335", c.deleteAnswers);
        r.link.Answer("334", c.addAnswers);
        const std::size_t before = r.link.sent.size();
        const auto progress = r.progress;
        switch (c.trouble) {
            case kSilence:
                r.reorder->NoAnswer();
                break;
            case kSilenceOnClosedLink:
                r.link.connected = false;
                r.reorder->NoAnswer();
                break;
            case kErrorAnswer:
                r.link.Answer("401");
                break;
            case kDrop:
                r.link.connected = false;
                r.reorder->ConnectionLost();
                break;
            case kSessionError:
                r.reorder->SessionError(100);
                break;
            case kDownAtAdds:
                r.link.connected = false;
                r.link.Answer("335");
                break;
        }
        ASSERT_EQ(r.failures.size(), 1u);
        const auto& f = r.failures[0];
        EXPECT_EQ(f.cause, c.cause);
        EXPECT_EQ(f.phase, c.phase);
        EXPECT_EQ(f.pending, c.pending);
        EXPECT_EQ(f.addingBack, c.addingBack);
        EXPECT_EQ(f.nick, c.refused);
        EXPECT_EQ(f.code, c.cause == Cause::Refused ? "401" : "");
        EXPECT_EQ(f.error, c.cause == Cause::SessionError ? 100 : 0);
        EXPECT_EQ(r.restore.Pending("me"), c.pending);

        // Added back at once only while the link is up; otherwise nothing more goes out.
        std::string back;
        for (const auto& nick : c.pending) back += (back.empty() ? "" : "|") + ("ADDBUDDY " + nick);
        EXPECT_EQ(r.link.Commands(before), c.addingBack ? back : "");
        for (std::size_t i = before; i < r.link.sent.size(); ++i)
            EXPECT_EQ(r.link.sent[i].code.substr(0, 4), "334,");

        // Late answers and later trouble reach nobody; confirmed add-backs leave the record.
        r.AnswerEverything();
        r.reorder->NoAnswer();
        r.reorder->ConnectionLost();
        EXPECT_EQ(r.failures.size(), 1u);
        EXPECT_EQ(r.succeeded, 0);
        EXPECT_EQ(r.progress.size(), progress.size() + (c.trouble == kDownAtAdds ? 1 : 0));
        EXPECT_EQ(r.restore.Pending("me"), c.addingBack ? Names{} : c.pending);
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

}  // namespace
}  // namespace vantor::test
