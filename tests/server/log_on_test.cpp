// SPDX-License-Identifier: MIT
// Log-on, buddy lists and locations against the running service.
#include <gtest/gtest.h>

#include "password_code.h"
#include "support/local_server.h"
#include "support/pump.h"
#include "wire_client.h"

namespace vantor::test {
namespace {

std::string Location(int port, const std::string& nick) {
    WireClient search(port);
    std::string where =
        Ask(search, "FINDUSEREX " + nick + " 0", "398", 3, 4);  // status and channel
    while (where.ends_with(' ')) where.pop_back();
    return where;
}

// Sends the three log-on lines in the given order.
void Attempt(WireClient& client, const std::string& nick, const std::string& password) {
    client.SendLine("NICK " + nick);
    client.SendLine("apgar " + server::EncodePassword(password) + " 0");
    client.SendLine("USER UserName HostName h :RealName");
}

TEST(ServiceLogOn, answersWithTheMessageOfTheDayWhoseTextCarriesNews) {
    LocalServer server;
    ASSERT_TRUE(server.Ok());
    WireClient bob(server.BasePort());
    // The client's own order, but USER before apgar is fine too.
    bob.SendLine("CVERS 11020 3072");
    bob.SendLine("USER UserName HostName 127.0.0.1 :RealName");
    bob.SendLine("apgar " + server::EncodePassword("pw") + " 0");
    bob.SendLine("NICK bob");
    ASSERT_TRUE(bob.WaitForCode("375"));
    std::string text;
    while (auto line = bob.WaitFor(
               [](const std::string& l) { return Word(l, 1) == "372" || Word(l, 1) == "376"; })) {
        if (Word(*line, 1) == "376") break;
        text += Word(*line, 4, 5) + "\r\n";  // the fifth part is the text
    }
    EXPECT_TRUE(text.starts_with("<news>") && text.find("</news>") != std::string::npos) << text;
}

TEST(ServiceLogOn, refusesTakenEmptyAndPasswordProtectedNicknames) {
    LocalServer server;
    WireClient bob(server.BasePort());
    ASSERT_TRUE(bob.LogOn("bob", "secret"));

    WireClient empty(server.BasePort());
    Attempt(empty, "", "");
    EXPECT_TRUE(empty.WaitForCode("431"));

    WireClient twin(server.BasePort());
    Attempt(twin, "BOB", "secret");  // nicknames ignore case
    EXPECT_TRUE(twin.WaitForCode("433"));
    EXPECT_FALSE(twin.WaitClosed(std::chrono::milliseconds(100)));  // may try another nickname

    bob.SendLine("QUIT");
    ASSERT_TRUE(bob.WaitClosed());
    WireClient thief(server.BasePort());
    Attempt(thief, "bob", "guess");
    auto error = thief.WaitFor([](const std::string& l) { return Word(l, 0) == "ERROR"; });
    ASSERT_TRUE(error);
    EXPECT_EQ(Word(*error, 4, 5), "(Password needed for that nickname.)");
    EXPECT_TRUE(thief.WaitClosed());

    WireClient owner(server.BasePort());
    EXPECT_TRUE(owner.LogOn("Bob", "secret"));
}

TEST(ServiceBuddies, changeAnswerAndSurviveARestart) {
    LocalServer server;
    {
        WireClient ann(server.BasePort());
        ASSERT_TRUE(ann.LogOn("ann", "pw"));
        EXPECT_EQ(Ask(ann, "GETBUDDY", "333", 3), "");  // an empty list has no word 3

        for (auto cmd : {"ADDBUDDY carol", "ADDBUDDY dave", "ADDBUDDY erin", "ADDBUDDY Carol",
                         "ADDBUDDY ", "DELBUDDY DAVE", "DELBUDDY nobody"}) {
            ann.SendLine(cmd);
            std::string code = std::string(cmd).starts_with("ADD") ? "334" : "335";
            EXPECT_TRUE(ann.WaitForCode(code)) << cmd;  // every change is answered
        }
        EXPECT_EQ(Ask(ann, "GETBUDDY", "333", 3), "carol`erin");
    }
    server.Stop();
    ASSERT_TRUE(server.Start());
    WireClient other(server.BasePort());  // the password came back with the account
    EXPECT_FALSE(other.LogOn("ann", "wrong"));
    WireClient ann(server.BasePort());
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    EXPECT_EQ(Ask(ann, "GETBUDDY", "333", 3), "carol`erin");
}

TEST(ServiceLocations, followAUserThroughLogOnLobbyAndLogOff) {
    LocalServer server;
    const int port = server.BasePort();
    EXPECT_EQ(Location(port, "bob"), "1");
    WireClient bob(port + 2);  // all three ports reach the same service
    ASSERT_TRUE(bob.LogOn("bob", "pw"));
    EXPECT_EQ(Location(port + 1, "BOB"), "3");
    bob.SendLine("JOIN #Lob_12_3 plumvex4");
    ASSERT_TRUE(bob.WaitForCode("366"));
    EXPECT_EQ(Location(port, "bob"), "0 #Lob_12_3,0");
    bob.SendLine("PART #Lob_12_3");
    ASSERT_TRUE(bob.WaitForCode("PART"));
    EXPECT_EQ(Location(port, "bob"), "3");

    // The logged-on connection may ask too, without the trailing " 0".
    WireClient ann(port);
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    EXPECT_EQ(Ask(ann, "FINDUSEREX bob", "398", 3), "3");

    bob.Close();  // gone without QUIT
    EXPECT_TRUE(PumpUntil([&] { return Location(port, "bob") == "1"; }, nullptr));
}

}  // namespace
}  // namespace vantor::test
