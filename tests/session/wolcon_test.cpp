// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostics/debug_log.h"
#include "session/encoding.h"
#include "session/wolcon.h"
#include "settings/settings_store.h"
#include "support/fake_settings.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/temp_registry.h"
#include "transport/wolcon2.h"

namespace vantor {
namespace {

const char* const kUserLine = "USER UserName HostName 127.0.0.1 :RealName";

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsSource(&settings);
        con = std::make_unique<WOLCon>();
        con->Error = [this](ErrorCode code) { errors.push_back(Number(code)); };
        con->LogOnResult = [this](LogOnResult result) { results.push_back(int(result)); };
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
    test::FakeSettings settings;
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

// Each of these ends the wait without a message of the day; what follows is nobody's.
TEST_F(SessionTest, logOnEndsAtItsFirstAnswer) {
    struct Case {
        const char* nick;
        std::vector<std::string> lines;
        std::vector<int> results, errors;
    };
    const Case cases[] = {
        {"bob",
         {":s 433 bob :Nickname in use", ":s 375 bob :-", ":s 372 bob :- x", ":s 376 bob :End"},
         {1},
         {}},
        {"", {":s 431 :No nickname given"}, {2}, {}},
        {"bob",
         {":s 372 bob :- early", ":s 375 bob :-", ":s 372 bob :- late", ":s 376 bob :End"},
         {},
         {}},
        {"bob",
         {"ERROR :Closing Link: bob[127.0.0.1] (Password needed for that nickname.)"},
         {},
         {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines[0]);
        results.clear();
        errors.clear();
        Connect();
        LogOn(c.nick, true);
        Deliver(c.lines);
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(errors, c.errors);
        EXPECT_TRUE(presented.empty());
        EXPECT_EQ(con->MotdText(), "");
    }
}

// The text keeps growing, but a second log-on shows its own news, not the first one's again.
TEST_F(SessionTest, motdKeepsGrowingAcrossLogOnsAndEachShowsItsOwnNews) {
    Connect();
    LogOn("bob", false);
    Deliver({":s 375 bob :-", ":s 372 bob :- one", ":s 376 bob :End"});
    ASSERT_TRUE(con->connect(peer.Port()));
    ASSERT_TRUE(peer.Accept());
    LogOn("bob", true);
    Deliver({":s 375 bob :-", ":s 372 bob :- two", ":s 376 bob :End"});
    EXPECT_EQ(con->MotdText(), "one\r\ntwo\r\n");
    // Without markers the last character of the text is left off.
    EXPECT_EQ(presented, std::vector<std::string>{"two\r"});
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

TEST_F(SessionTest, sessionDestroyedByItsLogOnResultHandler) {
    Connect();
    con->LogOnResult = [this](LogOnResult result) {
        results.push_back(int(result));
        con.reset();
    };
    LogOn("bob", true);
    // More lines follow in the same read: the pass goes on after the session is gone.
    peer.Send(":s 375 bob :-\r\n:s 372 bob :- x\r\n:s 376 bob :End\r\nPING :a\r\n:s 333 bob x\r\n");
    ASSERT_TRUE(Pump([&] { return con == nullptr; }));
    EXPECT_EQ(results, std::vector<int>{0});
}

// The news window runs its own events: a log-off among them drops the session before the result.
TEST_F(SessionTest, sessionDestroyedByItsMotdPresenterRaisesNoResult) {
    Connect();
    con->SetMotdPresenter([this](const std::string& news) {
        presented.push_back(news);
        con.reset();
    });
    LogOn("bob", true);
    peer.Send(":s 375 bob :-\r\n:s 372 bob :- x\r\n:s 376 bob :End\r\nPING :a\r\n");
    ASSERT_TRUE(Pump([&] { return con == nullptr; }));
    EXPECT_EQ(presented.size(), 1u);
    EXPECT_TRUE(results.empty());
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
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"a<news>inside</news>b", "inside"},
        {"a<news>x</news>b<news>y</news>", "x"},  // the first pair counts
        {"a<news>rest\r\n", "rest\r"},            // no end: last character off
        {"head</news>tail", "head"},              // no start: from the beginning
        {"plain", "plai"},
        {"x", ""},
        {"</news>old<news>new", ""},  // a closing marker before the opening one shows nothing
        {"a</news>b<news>c</news>", ""},
    };
    for (const auto& [motd, news] : cases) EXPECT_EQ(MotdNews(motd), news) << motd;
}

}  // namespace
}  // namespace vantor
