// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostics/debug_log.h"
#include "session/encoding.h"
#include "session/wolcon.h"
#include "settings/settings_source.h"
#include "settings/settings_store.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/temp_registry.h"
#include "transport/wolcon2.h"

namespace vantor {
namespace {

// Answers the settings the connection reads; everything else gets its default.
class FakeSettings : public SettingsSource {
public:
    std::map<std::string, std::string, std::less<>> texts{{"ServerHost", "127.0.0.1"}};
    std::map<std::string, std::int32_t, std::less<>> numbers;

    std::string SettingString(std::string_view name, std::string_view defaultValue) override {
        auto it = texts.find(name);
        return it != texts.end() ? it->second : std::string(defaultValue);
    }
    std::int32_t SettingLong(std::string_view name, std::int32_t defaultValue) override {
        auto it = numbers.find(name);
        return it != numbers.end() ? it->second : defaultValue;
    }
};

const char* const kUserLine = "USER UserName HostName 127.0.0.1 :RealName";

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsSource(&settings);
        con = std::make_unique<WOLCon>();
        con->Error = [this](int code) { errors.push_back(code); };
        con->LogOnResult = [this](int result) { results.push_back(result); };
        con->BuddyListResult = [this](const std::string& list, int result) {
            buddyLists.push_back(list);
            buddyResults.push_back(result);
        };
        con->SetMotdPresenter([this](const std::string& news) { presented.push_back(news); });
    }
    void TearDown() override {
        con.reset();
        SetSettingsSource(nullptr);
    }

    void Connect() {
        ASSERT_TRUE(peer.Listening());
        ASSERT_TRUE(con->connect(peer.Port()));
        ASSERT_TRUE(peer.Accept());
    }

    // Logs on and waits until the peer has the USER line, the last of the sequence.
    void LogOn(const std::string& nick, bool showMotd, const std::string& password = "pw") {
        con->LogOn(WolInfo{nick, password}, showMotd);
        ASSERT_TRUE(peer.WaitForLine(kUserLine));
    }

    bool Pump(const std::function<bool()>& done) {
        return test::PumpUntil(done, [this] {
            if (con) con->PopulateBuff();
        });
    }

    std::size_t PongCount() {
        std::size_t n = 0;
        for (const auto& line : peer.Lines()) n += line.rfind("PONG ", 0) == 0 ? 1 : 0;
        return n;
    }

    // Sends the lines and a closing PING, then pumps until the PONG shows they were all handled.
    void Deliver(const std::vector<std::string>& lines) {
        std::string chunk;
        for (const auto& line : lines) chunk += line + "\r\n";
        const std::size_t before = PongCount();
        peer.Send(chunk + "PING :x\r\n");
        ASSERT_TRUE(Pump([&] { return PongCount() > before; }));
    }

    test::ScopedRegistry registry;
    FakeSettings settings;
    test::LoopbackPeer peer;
    std::unique_ptr<WOLCon> con;
    std::vector<int> errors;
    std::vector<int> results;
    std::vector<std::string> buddyLists;
    std::vector<int> buddyResults;
    std::vector<std::string> presented;
};

TEST_F(SessionTest, logOnSendsTheFiveLinesInOrder) {
    Connect();
    LogOn("bob", false, "abc");
    const std::vector<std::string> expected{"CVERS 11020 3072", "PASS quietharbor", "NICK bob",
                                            "apgar abc 0", kUserLine};
    EXPECT_EQ(peer.Lines(), expected);
    EXPECT_EQ(con->NickName(), "bob");
    EXPECT_TRUE(errors.empty());
}

TEST_F(SessionTest, endOfMotdPresentsTheNewsAndLogsOn) {
    Connect();
    LogOn("bob", true);
    Deliver({":s 375 bob :- Message of the day", ":s 372 bob :- Hi <news>Big", ":s 372 bob :-",
             ":s 372 bob :- day</news> bye", ":s 376 bob :End"});
    // Only the fifth part of each line; a line without one still counts as a blank line.
    EXPECT_EQ(con->MotdText(), "Hi <news>Big\r\n\r\nday</news> bye\r\n");
    EXPECT_EQ(presented, std::vector<std::string>{"Big\r\n\r\nday"});
    EXPECT_EQ(results, std::vector<int>{0});
    EXPECT_TRUE(errors.empty());
}

TEST_F(SessionTest, endOfMotdWithoutTheFlagStillLogsOn) {
    Connect();
    LogOn("bob", false);
    Deliver({":s 375 bob :-", ":s 372 bob :- hello", ":s 376 bob :End"});
    EXPECT_TRUE(presented.empty());
    EXPECT_EQ(results, std::vector<int>{0});
}

TEST_F(SessionTest, refusedNicknamesEndTheWait) {
    Connect();
    LogOn("bob", true);
    // After 433 the entry is gone: the message of the day that follows is nobody's.
    Deliver({":s 433 bob :Nickname in use", ":s 375 bob :-", ":s 372 bob :- x", ":s 376 bob :End"});
    EXPECT_EQ(results, std::vector<int>{1});
    EXPECT_TRUE(presented.empty());
    EXPECT_EQ(con->MotdText(), "");

    ASSERT_TRUE(con->connect(peer.Port()));
    ASSERT_TRUE(peer.Accept());
    LogOn("", true);
    Deliver({":s 431 :No nickname given"});
    EXPECT_EQ(results, (std::vector<int>{1, 2}));
}

TEST_F(SessionTest, motdLineBeforeItsStartEndsTheWaitSilently) {
    Connect();
    LogOn("bob", true);
    Deliver({":s 372 bob :- early", ":s 375 bob :-", ":s 372 bob :- late", ":s 376 bob :End"});
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(presented.empty());
    EXPECT_EQ(con->MotdText(), "");
}

TEST_F(SessionTest, passwordNeededLineRaisesErrorTwo) {
    Connect();
    LogOn("bob", true);
    Deliver({"ERROR :Closing Link: bob[127.0.0.1] (Password needed for that nickname.)"});
    EXPECT_EQ(errors, std::vector<int>{2});
    EXPECT_TRUE(results.empty());
}

TEST_F(SessionTest, logOnWithoutConnectionFailsEachLine) {
    con->LogOn(WolInfo{"bob", "pw"}, true);
    EXPECT_EQ(errors, std::vector<int>(5, 101));
    EXPECT_TRUE(results.empty());
}

TEST_F(SessionTest, motdKeepsGrowingAcrossLogOns) {
    Connect();
    LogOn("bob", false);
    Deliver({":s 375 bob :-", ":s 372 bob :- one", ":s 376 bob :End"});
    ASSERT_TRUE(con->connect(peer.Port()));
    ASSERT_TRUE(peer.Accept());
    LogOn("bob", true);
    Deliver({":s 375 bob :-", ":s 372 bob :- two", ":s 376 bob :End"});
    EXPECT_EQ(con->MotdText(), "one\r\ntwo\r\n");
    // Without markers the last character of the whole text is left off.
    EXPECT_EQ(presented, std::vector<std::string>{"one\r\ntwo\r"});
    EXPECT_EQ(results, (std::vector<int>{0, 0}));
}

TEST_F(SessionTest, buddyListIsTheFourthWordOfTheAnswer) {
    Connect();
    con->GetBuddies();
    ASSERT_TRUE(peer.WaitForLine("GETBUDDY"));
    Deliver({":s 333 bob alice`carol`dave trailing words"});
    con->GetBuddies();
    Deliver({":s 333 bob"});  // an empty list has no fourth word
    EXPECT_EQ(buddyLists, (std::vector<std::string>{"alice`carol`dave", ""}));
    EXPECT_EQ(buddyResults, (std::vector<int>{0, 0}));
}

TEST_F(SessionTest, quitSendsQuitAndCloses) {
    Connect();
    con->Quit();
    EXPECT_TRUE(peer.WaitForLine("QUIT"));
    EXPECT_TRUE(test::PumpUntil([&] { return peer.ClientClosed(); }, nullptr));
    EXPECT_TRUE(errors.empty());
}

TEST_F(SessionTest, receivedPagesReachTheConversationsOfThisSession) {
    Connect();
    LogOn("bob", false);
    Deliver({":alice!u@h PAGE bob :hello there", ":carol!u@h PAGE bob :<WWINVITE>game"});
    EXPECT_NE(con->Pages().Find("alice"), nullptr);
    // The automatic refusal goes out on this session's own connection.
    EXPECT_TRUE(peer.WaitForLine("PAGE carol :<WWDECLINE>1"));
}

TEST_F(SessionTest, sessionDestroyedByItsLogOnResultHandler) {
    Connect();
    con->LogOnResult = [this](int result) {
        results.push_back(result);
        con.reset();
    };
    LogOn("bob", true);
    // More lines follow in the same read: the pass goes on after the session is gone.
    peer.Send(":s 375 bob :-\r\n:s 372 bob :- x\r\n:s 376 bob :End\r\nPING :a\r\n:s 333 bob x\r\n");
    ASSERT_TRUE(Pump([&] { return con == nullptr; }));
    EXPECT_EQ(results, std::vector<int>{0});
}

TEST_F(SessionTest, sessionDestroyedByItsErrorHandlerStopsTheLogOn) {
    con->Error = [this](int code) {
        errors.push_back(code);
        con.reset();
    };
    con->LogOn(WolInfo{"bob", "pw"}, true);
    EXPECT_EQ(errors, std::vector<int>{101});
}

// The encoded password logs on as well as the password, so the dump file must not hold it.
TEST_F(SessionTest, dumpFileHidesTheEncodedPassword) {
    settings.numbers["DumptoFile"] = 1;
    SaveSettingLong("DumptoFile", 1);
    InitDebug();
    Connect();
    LogOn("bob", false, "hunter2");
    ShutDownDebug();
    EXPECT_EQ(peer.Lines().at(3), "apgar " + EncFunct("hunter2") + " 0");

    std::ifstream file(registry.Dir() / "DebugDump.txt");
    std::stringstream dump;
    dump << file.rdbuf();
    EXPECT_NE(dump.str().find("QORVANE#-apgar ******** 0"), std::string::npos);
    EXPECT_EQ(dump.str().find(EncFunct("hunter2")), std::string::npos);
}

TEST(MotdNews, cutsTheTextBetweenTheMarkers) {
    EXPECT_EQ(MotdNews(""), "");
    EXPECT_EQ(MotdNews("a<news>inside</news>b"), "inside");
    EXPECT_EQ(MotdNews("a<news>x</news>b<news>y</news>"), "x");  // the first pair counts
    EXPECT_EQ(MotdNews("a<news>rest\r\n"), "rest\r");            // no end: last character off
    EXPECT_EQ(MotdNews("head</news>tail"), "head");              // no start: from the beginning
    EXPECT_EQ(MotdNews("plain"), "plai");
    EXPECT_EQ(MotdNews("x"), "");
}

TEST(MotdNews, closingMarkerBeforeTheOpeningOneShowsNothing) {
    EXPECT_EQ(MotdNews("</news>old<news>new"), "");
    EXPECT_EQ(MotdNews("<news></news>"), "");
    EXPECT_EQ(MotdNews("a</news>b<news>c</news>"), "");
}

}  // namespace
}  // namespace vantor
