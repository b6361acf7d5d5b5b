// SPDX-License-Identifier: MIT
// The main window's session without a window: a recording view, a scripted peer as the service.
#include "session/main_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "main_session_fixture.h"

namespace vantor::test {
namespace {

std::string Joined(const std::vector<std::string>& lines, std::size_t from) {
    std::string out;
    for (std::size_t i = from; i < lines.size(); ++i) out += (out.empty() ? "" : "|") + lines[i];
    return out;
}

// Every way a log-on ends: the step, the labels, the log-in button, what is told, what is sent.
TEST(MainSession, logOnResultsSetTheStepTextsButtonAndWhatIsTold) {
    struct Row {
        const char* name;
        std::vector<std::string> reply;  // none: the service closes the connection
        LogOnStep step;
        const char* logAs;
        const char* status;
        std::optional<MainMessage> told;
        ErrorCode code;
        LogInWord word;
        const char* sent;  // after USER
        int asked;         // the dialog again
    };
    const Row rows[] = {
        {"logged on",
         {":s 375 bob :- Welcome", ":s 372 bob :- hi", ":s 376 bob :End of MOTD"},
         LogOnStep::Online,
         "bob",
         "Welcome to Westwood Online!",
         std::nullopt,
         ErrorCode::Server,
         LogInWord::Logout,
         "SETCODEPAGE 1252|SETOPT 17,33|GETBUDDY",
         0},
        {"nickname in use",
         {":s 433 * bob :Nickname is already in use"},
         LogOnStep::Offline,
         "Not Connected.",
         "",
         MainMessage::NicknameInUse,
         ErrorCode::Server,
         LogInWord::Log,
         "QUIT",
         0},
        {"no nickname",
         {":s 431 * :No nickname given"},
         LogOnStep::Offline,
         "Not Connected.",
         "",
         MainMessage::NoNickname,
         ErrorCode::Server,
         LogInWord::Log,
         "QUIT",
         0},
        {"wrong password",
         {"ERROR :Closing Link: bob[127.0.0.1] (Password needed for that nickname.)"},
         LogOnStep::Offline,
         "Not Connected.",
         "",
         MainMessage::PasswordIncorrect,
         ErrorCode::Server,
         LogInWord::Log,
         "QUIT",
         1},
        {"server error",
         {"ERROR :Closing Link: bob[127.0.0.1] (Killed)"},
         LogOnStep::Offline,
         "Not Connected.",
         "Killed",
         MainMessage::Error,
         ErrorCode::Server,
         LogInWord::Log,
         "QUIT",
         0},
        {"closed",
         {},
         LogOnStep::Offline,
         "Not Connected.",
         "",
         std::nullopt,
         ErrorCode::Server,
         LogInWord::Log,
         "",
         0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        MainFixture m;
        // The classic log-on: no CANCEL while it runs, and no reason in the status line.
        SaveSettingLong("LogOnCancel", 0);
        SaveSettingLong("StatusReasons", 0);
        ASSERT_TRUE(m.StartLogOn());
        EXPECT_EQ(m.session.Step(), LogOnStep::LoggingOn);
        EXPECT_EQ(m.view.logAs, "Logging in...");
        EXPECT_FALSE(m.view.controls.logIn);
        EXPECT_EQ(GetSettingString("LastNickName", ""), "bob");
        const std::size_t sentBefore = m.peer.Lines().size();

        if (r.reply.empty()) m.peer.CloseClient();
        for (const std::string& line : r.reply) m.peer.SendLine(line);
        ASSERT_TRUE(m.Pump([&] { return m.session.Step() == r.step && m.view.controls.logIn; }));
        m.view.RunLater();
        if (*r.sent) {
            const std::string sent = r.sent;
            EXPECT_TRUE(
                m.peer.WaitForLines(sentBefore + 1 + std::size_t(std::ranges::count(sent, '|'))));
        }
        EXPECT_EQ(Joined(m.peer.Lines(), sentBefore), r.sent);
        EXPECT_EQ(m.view.logAs, r.logAs);
        EXPECT_EQ(m.view.status, r.status);
        EXPECT_EQ(m.view.controls.word, r.word);
        EXPECT_EQ(m.session.LoggedOn(), r.step == LogOnStep::Online);
        ASSERT_EQ(m.view.told.size(), r.told ? 1u : 0u);
        if (r.told) {
            EXPECT_EQ(m.view.told[0].message, *r.told);
            EXPECT_EQ(m.view.told[0].code, r.code);
        }
        EXPECT_EQ(m.view.asked, r.asked);
        EXPECT_EQ(m.view.Running(MainTimer::Receive), r.step == LogOnStep::Online);
    }
}

// The way back after a lost link, by what the service does when the session comes back.
TEST(MainSession, reconnectStatesFollowWhatTheServiceDoesOnTheWayBack) {
    enum class Back { LogsOn, Refuses, ClosesAgain, RefusesTheConnect, NoAutoReconnect };
    struct Row {
        const char* name;
        Back back;
        LogOnStep step;
        ReconnectPolicy::State state;
        const char* status;
        std::vector<bool> links;
        std::optional<MainMessage> told;
    };
    using S = ReconnectPolicy::State;
    const Row rows[] = {
        {"logs on",
         Back::LogsOn,
         LogOnStep::Online,
         S::Idle,
         "Welcome to Westwood Online!",
         {true, false},
         std::nullopt},
        {"refuses",
         Back::Refuses,
         LogOnStep::Offline,
         S::Idle,
         "",
         {true},
         MainMessage::NicknameInUse},
        {"closes again",
         Back::ClosesAgain,
         LogOnStep::Online,
         S::Waiting,
         "Connection lost. Next attempt in 4 seconds.",
         {true},
         std::nullopt},
        {"refuses the connect",
         Back::RefusesTheConnect,
         LogOnStep::Online,
         S::Waiting,
         "Connection lost. Next attempt in 4 seconds.",
         {true},
         std::nullopt},
        {"no automatic reconnect",
         Back::NoAutoReconnect,
         LogOnStep::Offline,
         S::Idle,
         "Connection lost.",
         {true},
         std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        MainFixture m;
        if (r.back == Back::NoAutoReconnect) SaveSettingLong("AutoReconnect", 0);
        ASSERT_TRUE(m.LogOnWithList(""));
        m.peer.CloseClient();
        ASSERT_TRUE(m.Pump([&] { return m.view.links.size() == 1; }));
        if (r.back != Back::NoAutoReconnect) {
            EXPECT_EQ(m.session.Reconnect().GetState(), S::Waiting);
            EXPECT_EQ(m.view.status, "Connection lost. Next attempt in 2 seconds.");
            EXPECT_EQ(m.view.logAs, "Connection lost.");
            EXPECT_EQ(m.view.controls.word, LogInWord::Logout);
            EXPECT_FALSE(m.view.controls.page || m.view.controls.chat);
            EXPECT_TRUE(m.session.LoggedOn());
            if (r.back == Back::RefusesTheConnect) SaveSettingLong("ServerPort", ClosedPort());
            m.now += 2;
            m.session.Pump();
            if (r.back != Back::RefusesTheConnect) {
                EXPECT_EQ(m.session.Reconnect().GetState(), S::Attempting);
                EXPECT_EQ(m.view.status, "Connection lost. Reconnecting...");
                ASSERT_TRUE(m.peer.Accept() && m.peer.WaitForLine(kUserLine));
            }
            switch (r.back) {
                case Back::LogsOn:
                    ASSERT_TRUE(m.AnswerMotd());
                    break;
                case Back::Refuses:
                    m.peer.SendLine(":s 433 * bob :Nickname is already in use");
                    break;
                case Back::ClosesAgain:
                    m.peer.CloseClient();
                    break;
                default:
                    break;
            }
            ASSERT_TRUE(m.Pump([&] {
                return m.session.Reconnect().GetState() == r.state && m.session.Step() == r.step;
            }));
        }
        EXPECT_EQ(m.session.Step(), r.step);
        EXPECT_EQ(m.session.Reconnect().GetState(), r.state);
        EXPECT_EQ(m.view.status, r.status);
        EXPECT_EQ(m.view.links, r.links);
        ASSERT_EQ(m.view.told.size(), r.told ? 1u : 0u);
        if (r.told) {
            EXPECT_EQ(m.view.told[0].message, *r.told);
        }
        EXPECT_EQ(m.view.loggingOff, r.step == LogOnStep::Offline ? 1 : 0);
    }
}

}  // namespace
}  // namespace vantor::test
