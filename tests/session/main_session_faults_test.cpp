// SPDX-License-Identifier: MIT
// A service that misbehaves: log-ons it never finishes, links it drops at once, connects it
// refuses. The main session gives up, backs off and says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "main_session_fixture.h"
#include "platform/socket_layer.h"
#include "support/hanging_port.h"

namespace vantor::test {
namespace {

// A log-on that never ends hung for good: "Logging in..." with LOG off and no way out.
TEST(MainSessionFaults, aLogOnTheServiceNeverFinishesIsGivenUpOrCancelled) {
    enum class Way { SilentAfterUser, MotdWithoutEnd, Cancelled, SilentOnTheWayBack };
    struct Row {
        const char* name;
        Way way;
        double waited;  // seconds on the clock until the session gave up
        const char* status;
    };
    const Row rows[] = {
        {"silent after USER", Way::SilentAfterUser, 30,
         "The server did not finish the log-on within 30 seconds."},
        {"375 and 372 without 376", Way::MotdWithoutEnd, 30,
         "The server did not finish the log-on within 30 seconds."},
        {"CANCEL", Way::Cancelled, 0, ""},
        {"silent on the way back", Way::SilentOnTheWayBack, 30,
         "Connection lost. Next attempt in 4 seconds."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        MainFixture m;
        if (r.way == Way::SilentOnTheWayBack) {
            m.session.LogOn("bob", "pw");
            ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine) && m.AnswerMotd());
            m.peer.CloseClient();
            ASSERT_TRUE(m.Pump([&] { return m.session.Reconnect().Active(); }));
            m.now += 2;
            m.Tick();
            ASSERT_EQ(m.session.Reconnect().GetState(), ReconnectPolicy::State::Attempting);
        } else {
            m.session.LogOn("bob", "pw");
            // While it runs the log-in button offers CANCEL.
            EXPECT_EQ(m.view.controls.word, LogInWord::Cancel);
            EXPECT_TRUE(m.view.controls.logIn);
        }
        ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine));
        if (r.way == Way::MotdWithoutEnd) {
            m.peer.SendLine(":s 375 bob :- Welcome");
            m.peer.SendLine(":s 372 bob :- hello");
        }
        const double start = m.now;
        if (r.way == Way::Cancelled) {
            m.session.CancelLogOn();
        } else {
            m.Tick();
            m.now += 29.9;
            m.Tick();
            EXPECT_EQ(m.session.Step(),
                      r.way == Way::SilentOnTheWayBack ? LogOnStep::Online : LogOnStep::LoggingOn);
            m.now += 0.1;
            m.Tick();
        }
        EXPECT_DOUBLE_EQ(m.now - start, r.waited);
        EXPECT_EQ(m.view.status, r.status);
        ASSERT_TRUE(m.peer.WaitForLine("QUIT"));
        EXPECT_EQ(m.Count("QUIT"), 1u);
        EXPECT_TRUE(m.view.told.empty());
        if (r.way == Way::SilentOnTheWayBack) {
            // A failed attempt: the next is scheduled, after the next longer wait.
            EXPECT_EQ(m.session.Reconnect().GetState(), ReconnectPolicy::State::Waiting);
            EXPECT_DOUBLE_EQ(m.session.Reconnect().SecondsLeft(), 4);
            EXPECT_TRUE(m.session.LoggedOn());
        } else {
            EXPECT_EQ(m.session.Step(), LogOnStep::Offline);
            EXPECT_EQ(m.view.logAs, "Not Connected.");
            EXPECT_EQ(m.view.controls.word, LogInWord::Log);
            EXPECT_TRUE(m.view.controls.logIn);
            EXPECT_FALSE(m.view.Running(MainTimer::Receive));
        }
    }
}

TEST(MainSessionFaults, withoutTheTimeOutTheLogOnWaitsAsTheClassicClientDid) {
    MainFixture m;
    SaveSettingLong("LogOnTimeout", 0);
    SaveSettingLong("LogOnCancel", 0);
    m.session.LogOn("bob", "pw");
    EXPECT_FALSE(m.view.controls.logIn);
    ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine));
    m.now += 3600;
    m.Tick();
    EXPECT_EQ(m.session.Step(), LogOnStep::LoggingOn);
    EXPECT_EQ(m.view.status, "Logging in...");
}

// A service that drops the link 2 s after every log-on was tried again 2 s later for ever, and
// searched at every cycle.
TEST(MainSessionFaults, aLinkDroppedAfterEveryLogOnBacksOffAndIsSearchedOnceItHolds) {
    MainFixture m;
    m.session.LogOn("bob", "pw");
    ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine) && m.AnswerMotd());
    // An empty list: nothing to search, and no search connection in the peer's queue.
    ASSERT_TRUE(m.AnswerList(""));

    std::vector<double> waits;
    for (int cycle = 0; cycle < 6; ++cycle) {
        SCOPED_TRACE(cycle);
        m.now += 2;
        m.peer.CloseClient();
        ASSERT_TRUE(m.Pump(
            [&] { return m.session.Reconnect().GetState() == ReconnectPolicy::State::Waiting; }));
        waits.push_back(m.session.Reconnect().SecondsLeft());
        m.now += waits.back();
        m.Tick();
        ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine));
        ASSERT_TRUE(m.AnswerMotd() && m.AnswerList("alice"));
        EXPECT_FALSE(m.view.controls.refresh);  // the search is due, not forgotten
    }
    EXPECT_EQ(waits, (std::vector<double>{2, 4, 8, 16, 32, 60}));
    EXPECT_EQ(m.view.searches, 0);

    m.now += 9.9;
    m.Tick();
    EXPECT_EQ(m.view.searches, 0);
    m.now += 0.1;
    m.Tick();
    EXPECT_EQ(m.view.searches, 1);
    m.now += 100;
    m.Tick();
    EXPECT_EQ(m.view.searches, 1);

    // Held for a minute, the next loss starts at the first wait again.
    m.peer.CloseClient();
    ASSERT_TRUE(m.Pump([&] { return m.session.Reconnect().Active(); }));
    EXPECT_DOUBLE_EQ(m.session.Reconnect().SecondsLeft(), 2);
}

// A refused, a timed-out and a cut connection went back to "Not connected to Westwood Online"
// (or a bare number in a box) without a word of why.
TEST(MainSessionFaults, failuresSayWhyInTheStatusLineBesideTheirClassicBoxes) {
    enum class Way { Refused, TimedOut, ClosedDuringLogOn, DeadLinkWhileOnline };
    struct Row {
        const char* name;
        Way way;
        const char* status;  // "%" is the port
        std::optional<ErrorCode> box;
    };
    const Row rows[] = {
        {"refused", Way::Refused, "Could not connect to 127.0.0.1:%: connection refused.",
         ErrorCode::ConnectFailed},
        {"timed out", Way::TimedOut, "Could not connect to 127.0.0.1:%: the connection timed out.",
         ErrorCode::ConnectFailed},
        {"closed during log-on", Way::ClosedDuringLogOn,
         "The server closed the connection during log-on.", std::nullopt},
        {"dead link while online", Way::DeadLinkWhileOnline,
         "Sending failed: not connected to the server.", ErrorCode::NotConnected},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        MainFixture m;
        HangingPort hanging;
        int port = m.peer.Port();
        if (r.way == Way::Refused) port = ClosedPort();
        if (r.way == Way::TimedOut) {
            if (!hanging.Hangs()) GTEST_SKIP() << "connects to a full backlog do not hang here";
            port = hanging.Port();
            SetConnectTimeout(std::chrono::milliseconds(100));
        }
        SaveSettingLong("ServerPort", port);
        m.session.LogOn("bob", "pw");
        SetConnectTimeout(std::chrono::seconds(5));
        switch (r.way) {
            case Way::Refused:
            case Way::TimedOut:
                break;
            case Way::ClosedDuringLogOn:
                ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine));
                m.peer.CloseClient();
                ASSERT_TRUE(m.Pump([&] { return m.session.Step() == LogOnStep::Offline; }));
                break;
            case Way::DeadLinkWhileOnline:
                ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine) && m.AnswerMotd());
                m.session.WOL().Interface().Disconnect();
                m.session.WOL().send("PRIVMSG #Lob_12_1 :hello");
                break;
        }
        std::string status = r.status;
        if (const auto at = status.find('%'); at != std::string::npos)
            status.replace(at, 1, std::to_string(port));
        EXPECT_EQ(m.view.status, status);
        EXPECT_EQ(m.session.Step(), LogOnStep::Offline);
        // The classic box, with its classic text, comes first and comes once.
        ASSERT_FALSE(m.view.told.empty() && r.box);
        if (r.box) {
            EXPECT_EQ(m.view.told.front().message, MainMessage::Error);
            EXPECT_EQ(m.view.told.front().code, *r.box);
        } else {
            EXPECT_TRUE(m.view.told.empty());
        }
        if (r.way == Way::Refused || r.way == Way::TimedOut) {
            // The log-on lines that could not go out after it each have their box, as ever,
            // but the first failure is the one the status line names.
            EXPECT_EQ(m.view.told.size(), 6u);
            EXPECT_EQ(m.view.logAs, "Not Connected.");
        }
    }
}

}  // namespace
}  // namespace vantor::test
