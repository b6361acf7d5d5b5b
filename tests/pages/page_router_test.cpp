// SPDX-License-Identifier: MIT
#include "pages/page_router.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "pages/fake_page_window.h"
#include "pages/page_win.h"
#include "support/debug_recorder.h"
#include "support/fake_settings.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "transport/wolcon2.h"

namespace vantor {
namespace {

using test::FakePageWindow;

struct Sent {
    std::string command;
    Param param;
    std::shared_ptr<Callback> callback;
    std::string code;
};

class PageRouting : public ::testing::Test {
protected:
    PageRouting()
        : router(
              [this](std::string_view command, ReplySpec reply) {
                  sent.push_back({std::string(command), std::move(reply.param),
                                  std::move(reply.callback), JoinCodes(reply.codes)});
              },
              ignores) {
        SetSettingsSource(&settings);
        router.SetOwnNick("me");
    }
    ~PageRouting() override { SetSettingsSource(nullptr); }

    void Page(const std::string& sender, const std::string& message) {
        router.OnReceivedPage(":" + sender + "!u@127.0.0.1 PAGE me :" + message);
    }

    // The server's answer to the last page sent from a window.
    void Reply(const std::string& line, Delivery kind = Delivery::Answer) {
        ASSERT_FALSE(sent.empty());
        ASSERT_TRUE(sent.back().callback);
        sent.back().callback->Raise(line, kind, sent.back().param);
    }

    test::FakeSettings settings;
    test::LogCapture log;
    test::FakePageWindows windows;  // outlives the router, whose conversations hold the windows
    std::vector<Sent> sent;
    IgnoreList ignores;
    PageRouter router;
};

TEST_F(PageRouting, pagesFromAnySpellingOfTheSenderShareOneLowerCaseWindow) {
    Page("Alice", "hello:  there : you ");
    ASSERT_EQ(windows.Made(), 1u);
    ASSERT_TRUE(router.Find("alice"));
    const FakePageWindow& w = windows[0];
    EXPECT_EQ(w.from + "|" + w.user, "alice|me");
    EXPECT_EQ(std::tuple(w.shown, w.sendBoxFocus, w.attention), std::tuple(1, 1, 1));
    EXPECT_TRUE(log.Has("Page received from Alice : \"hello:  there : you \"."));
    EXPECT_TRUE(log.Has("Creating new page window for user \"alice\"."));

    Page("ALICE", "two");
    Page("alice", "three");
    EXPECT_EQ(router.Count(), 1u);
    EXPECT_EQ(windows.Made(), 1u);
    EXPECT_EQ(w.received, (std::vector<std::string>{"hello:  there : you ", "two", "three"}));
    EXPECT_TRUE(log.Has("Redirecting page from ALICE to relevant page window."));
    EXPECT_TRUE(sent.empty());
}

TEST_F(PageRouting, pagingAnOpenConversationOnlyActivatesIt) {
    Page("Alice", "hi");
    const auto first = router.Find("alice");

    EXPECT_EQ(router.NewPageWin("alice"), first);
    EXPECT_EQ(router.NewPageWin("ALICE"), first);
    ASSERT_EQ(windows.Made(), 1u);
    EXPECT_EQ(windows[0].activated, 2);
    EXPECT_EQ(windows[0].sendBoxFocus, 3);  // once when opened, then after each activation
    EXPECT_EQ(router.NewPageWin(""), nullptr);
    EXPECT_EQ(windows.Made(), 1u);
}

// A rename seen in a lobby: the conversation says so and goes on under the new name, so the
// user's next line reaches the user it was meant for and that user's pages land here; a
// conversation open under the new name already keeps its own.
TEST_F(PageRouting, aRenameIsToldAndTheConversationFollowsIt) {
    Page("bob", "hi");
    router.Renamed("BOB", "bobby");
    const FakePageWindow& w = windows[0];
    EXPECT_EQ(w.notices, (std::vector<std::string>{"BOB is now known as bobby"}));
    EXPECT_EQ(w.from, "bobby");
    EXPECT_EQ(router.Find("bob"), nullptr);
    Page("bobby", "still me");
    EXPECT_EQ(windows.Made(), 1u);
    EXPECT_EQ(w.received.back(), "still me");
    windows[0].UserSends("ok");
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().command, "PAGE bobby :ok");

    Page("carl", "hello");
    router.Renamed("bobby", "carl");
    EXPECT_EQ(w.from, "bobby");
    EXPECT_EQ(w.notices.back(), "bobby is now known as carl");
    EXPECT_TRUE(windows[1].notices.empty());
    router.Renamed("nobody", "x");
    EXPECT_EQ(router.Count(), 2u);
}

TEST_F(PageRouting, invitationsAreDeclinedAndRefusalsDroppedWithoutAWindow) {
    Page("bob", "<WWINVITE>Game lobby 12");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, "PAGE bob :<WWDECLINE>1");
    EXPECT_FALSE(sent[0].callback);

    Page("bob", "<WWDECLINE>1");
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(router.Count(), 0u);
    EXPECT_EQ(windows.Made(), 0u);

    // The markers are case-sensitive: anything else is a person talking.
    Page("bob", "<wwinvite> is what the game sends");
    EXPECT_EQ(windows.Made(), 1u);
}

TEST_F(PageRouting, lineSentFromWindowAwaitsItsReplyAndOfflineShowsANotice) {
    router.NewPageWin("alice");
    FakePageWindow& w = windows[0];
    w.UserSends("are you there? :)");

    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, "PAGE alice :are you there? :)");
    EXPECT_EQ(sent[0].code, "389");

    // Only a readable one-line answer of 1 shows the notice.
    for (const char* line : {":s 389 me 0", ":s 389 me", ":s 389 me 1x", ":s 389 me 99999999999"})
        Reply(line);
    Reply(":s 389 me 1", Delivery::Data);
    EXPECT_TRUE(w.notices.empty());
    Reply(":s 389 me 1");
    EXPECT_EQ(w.notices, std::vector<std::string>{"User is offline!"});

    // Once the window has closed, its late reply goes nowhere.
    router.ClosePageWin("ALICE");  // exact nicknames only
    EXPECT_EQ(router.Count(), 1u);
    router.ClosePageWin("alice");
    EXPECT_EQ(router.Count(), 0u);
    Reply(":s 389 me 1");
    EXPECT_EQ(w.notices.size(), 1u);
}

TEST_F(PageRouting, pageTooLongForTheServiceIsRefusedInItsWindowNotSent) {
    router.NewPageWin("alice");
    FakePageWindow& w = windows[0];
    // "PAGE alice :" is 12 bytes; with CR LF, 498 bytes of text fill the 512-byte line exactly.
    w.UserSends(std::string(498, 'x'));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(w.notices.empty());
    w.UserSends(std::string(499, 'x'));
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_EQ(w.notices,
              std::vector<std::string>{"The page is too long to send; it was not sent."});
}

TEST_F(PageRouting, closeAllClosesEveryWindowEvenWhenClosingRoutesPages) {
    for (const char* nick : {"alice", "bob", "carol"}) router.NewPageWin(nick);
    // While bob's window closes, pages arrive for a closed, an open and a new conversation.
    windows[1].Closing = [inner = windows[1].Closing, this] {
        inner();
        Page("alice", "late");
        Page("carol", "late");
        Page("dave", "late");
    };

    router.CloseAllPageWin();

    EXPECT_EQ(router.Count(), 0u);
    for (std::size_t i = 0; i < windows.Made(); ++i) {
        SCOPED_TRACE(windows[i].from);
        EXPECT_EQ(windows[i].closingRaised, 1);
        EXPECT_TRUE(windows[i].disposed);
    }
}

TEST_F(PageRouting, pagesArrivingDuringAnAppendLandInTheirWindowsInOrder) {
    Page("Alice", "first");
    windows[0].onReceived = [this] {
        windows[0].onReceived = nullptr;
        Page("ALICE", "second");
        Page("Bob", "other");
    };
    Page("alice", "third");
    EXPECT_EQ(router.Count(), 2u);
    EXPECT_EQ(windows[0].received, (std::vector<std::string>{"first", "third", "second"}));
    ASSERT_EQ(windows.Made(), 2u);
    EXPECT_EQ(windows[1].received, std::vector<std::string>{"other"});
}

TEST_F(PageRouting, closingAWindowFromInsideItsAppendIsSafe) {
    Page("alice", "first");
    windows[0].onReceived = [this] { windows[0].Close(); };  // the title-bar button
    Page("alice", "bye");
    EXPECT_EQ(router.Count(), 0u);
    EXPECT_TRUE(windows[0].disposed);
    EXPECT_EQ(windows[0].attention, 1);  // only the first page; the second found it closing
}

// Who gets through, with bob ignored and, in the second half, pages from buddies only (carl is
// the one buddy). Dropped pages open nothing, draw no attention and get no answer; an
// invitation from a stranger is still declined, one from an ignored user is not.
TEST_F(PageRouting, ignoredAndStrangersPagesOpenNothingAndGetNoAnswer) {
    ignores.Add("bob");
    router.SetBuddyCheck([](std::string_view nick) { return nick == "carl" || nick == "BOB"; });
    const struct {
        bool buddiesOnly;
        const char* sender;
        const char* message;
        bool shown;
        const char* answer;  // what goes back on the wire, "" for nothing
    } cases[] = {
        {false, "BOB", "hello", false, ""},
        {false, "bob", "<WWINVITE>Game 12", false, ""},
        {false, "bobby", "hello", true, ""},
        {false, "dave", "hello", true, ""},
        {true, "carl", "hello", true, ""},
        {true, "dave", "hello", false, ""},
        {true, "dave", "<WWINVITE>Game 12", false, "PAGE dave :<WWDECLINE>1"},
        {true, "BOB", "hello", false, ""},  // a buddy, but ignored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sender) + " " + c.message);
        settings.numbers["PagesFromBuddiesOnly"] = c.buddiesOnly ? 1 : 0;
        router.CloseAllPageWin();
        sent.clear();
        const std::size_t made = windows.Made();
        Page(c.sender, c.message);
        EXPECT_EQ(windows.Made(), made + (c.shown ? 1 : 0));
        EXPECT_EQ(router.Count(), c.shown ? 1u : 0u);
        if (c.shown) {
            EXPECT_EQ(windows[made].received, std::vector<std::string>{c.message});
        }
        EXPECT_EQ(sent.empty() ? "" : sent[0].command, c.answer);
        EXPECT_LE(sent.size(), 1u);
    }
    EXPECT_TRUE(log.Has("Page received from BOB : \"hello\"."));  // the debug log hears all
    EXPECT_TRUE(log.Has("Dropping the page from BOB: ignored."));
    EXPECT_TRUE(log.Has("Dropping the page from dave: not a buddy."));
}

// The button of every window with that user follows the list, whoever changed it; pages are
// dropped while ignored and shown again after.
TEST_F(PageRouting, ignoringFromTheWindowDropsTheirPagesUntilUnignored) {
    router.NewPageWin("Bob");
    router.NewPageWin("carl");
    FakePageWindow& bob = windows[0];
    EXPECT_FALSE(bob.ignored);
    bob.UserPressesIgnore();
    EXPECT_TRUE(bob.ignored);
    EXPECT_FALSE(windows[1].ignored);
    EXPECT_EQ(ignores.Names(), std::vector<std::string>{"Bob"});
    EXPECT_TRUE(router.Ignored("BOB"));

    Page("bob", "you there?");
    EXPECT_TRUE(bob.received.empty());
    EXPECT_EQ(bob.attention, 0);
    bob.UserSends("my own line still goes");  // own lines are never held back
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, "PAGE Bob :my own line still goes");

    // A conversation opened later with them shows the state from the start.
    router.ClosePageWin("Bob");
    router.NewPageWin("BOB");
    EXPECT_TRUE(windows[2].ignored);

    ignores.Remove("bob");  // from another window, say
    EXPECT_FALSE(windows[2].ignored);
    Page("bob", "back");
    EXPECT_EQ(windows[2].received, std::vector<std::string>{"back"});
    windows[2].UserPressesIgnore();
    windows[2].UserPressesIgnore();
    EXPECT_FALSE(windows[2].ignored);
    EXPECT_TRUE(ignores.Empty());
}

// Pages going out through a real transport to a loopback peer that answers only some of them.
TEST(PagesOverTheTransport, droppedAnswerNoLongerShiftsTheOfflineNoticeIntoAnotherWindow) {
    test::FakeSettings settings;
    SetSettingsSource(&settings);
    test::LogCapture log;
    test::FakePageWindows windows;
    test::LoopbackPeer peer;
    WOLCon2 con;
    auto now = std::chrono::steady_clock::now();
    con.SetClock([&] { return now; });
    PageRouter router([&](std::string_view command, ReplySpec reply) { con.send(command, reply); });
    router.SetOwnNick("me");
    ASSERT_TRUE(con.connect(peer.Port()) && peer.Accept());

    router.NewPageWin("alice");
    router.NewPageWin("bob");
    windows[0].UserSends("this one the service drops without a word");
    now += WOLCon2::kReplyWait + std::chrono::seconds(1);
    con.PopulateBuff();
    EXPECT_EQ(windows[0].notices,
              std::vector<std::string>{"The page may not have been delivered."});

    windows[1].UserSends("are you there?");
    peer.Send(":s 389 me 1\r\n");
    ASSERT_TRUE(
        test::PumpUntil([&] { return !windows[1].notices.empty(); }, [&] { con.PopulateBuff(); }));
    EXPECT_EQ(windows[1].notices, std::vector<std::string>{"User is offline!"});
    EXPECT_EQ(windows[0].notices.size(), 1u);
    SetSettingsSource(nullptr);
}

}  // namespace
}  // namespace vantor
