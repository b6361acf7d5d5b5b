// SPDX-License-Identifier: MIT
// Lobbies: the list, joining with the key, conversations, leaving, and idle connections.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "support/local_server.h"
#include "wire_client.h"

namespace vantor::test {
namespace {

bool Is(const std::string& line, std::string_view what, std::string_view sender = {}) {
    if (Word(line, 1) != what) return false;
    return sender.empty() || Word(line, 0).starts_with(":" + std::string(sender) + "!");
}

// Joins and collects the names of every "353" line up to "366", counting those lines.
std::set<std::string> Join(WireClient& client, const std::string& channel, int* lines = nullptr) {
    client.SendLine("JOIN " + channel + " plumvex4");
    std::set<std::string> names;
    while (auto line = client.WaitFor(
               [](const std::string& l) { return Word(l, 1) == "353" || Word(l, 1) == "366"; })) {
        if (Word(*line, 1) == "366") break;
        if (lines) ++*lines;
        EXPECT_LE(line->size(), 510u);
        std::istringstream in(Word(*line, 5, 6).substr(1));
        for (std::string name; in >> name;) names.insert(name);
    }
    return names;
}

TEST(ServiceLobbies, listTenLobbiesWithTheirUserCounts) {
    LocalServer server;
    WireClient ann(server.BasePort());
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    Join(ann, "#Lob_12_4");
    ann.SendLine("LIST 0 12");
    ASSERT_TRUE(ann.WaitForCode("321"));
    std::vector<std::string> rows;
    while (auto line =
               ann.WaitFor([](const std::string& l) { return Is(l, "327") || Is(l, "323"); })) {
        if (Is(*line, "323")) break;
        rows.push_back(Word(*line, 3) + " " + Word(*line, 4));
    }
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ((std::vector{rows[0], rows[4], rows[9]}),
              (std::vector<std::string>{"#Lob_12_0 0", "#Lob_12_4 1", "#Lob_12_9 0"}));
}

TEST(ServiceLobbies, refuseAWrongKeyAndUnknownChannels) {
    LocalServer server;
    WireClient ann(server.BasePort());
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    for (const auto& [line, code] : {std::pair{"JOIN #Lob_12_0 wrongkey", "475"},
                                     {"JOIN #Lob_12_0", "475"},
                                     {"JOIN #nowhere plumvex4", "403"},
                                     {"PRIVMSG #Lob_12_0 :not a member", "404"},
                                     {"PART #Lob_12_0", "442"}}) {
        ann.SendLine(line);
        EXPECT_TRUE(ann.WaitForCode(code)) << line;
    }
}

// The wire forms the chat window's own test against the service takes for granted.
TEST(ServiceLobbies, carryAConversationBetweenThreeMembers) {
    LocalServer server;
    WireClient ann(server.BasePort()), bob(server.BasePort()), cat(server.BasePort());
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    ASSERT_TRUE(bob.LogOn("bob", "pw"));
    ASSERT_TRUE(cat.LogOn("cat", "pw"));
    const std::string lobby = "#Lob_12_2";

    EXPECT_EQ(Join(ann, lobby), (std::set<std::string>{"ann"}));
    EXPECT_TRUE(ann.WaitFor([](auto& l) { return Is(l, "JOIN", "ann"); }));  // own join too
    Join(bob, lobby);
    EXPECT_EQ(Join(cat, lobby), (std::set<std::string>{"ann", "bob", "cat"}));
    auto join = ann.WaitFor([](auto& l) { return Is(l, "JOIN", "cat"); });
    EXPECT_EQ(join ? Word(*join, 2) : "", ":" + lobby);

    ann.SendLine("PRIVMSG " + lobby + " :hello: everyone");
    auto msg = cat.WaitFor([](auto& l) { return Is(l, "PRIVMSG", "ann"); });
    EXPECT_EQ(msg ? Word(*msg, 2) + " " + Word(*msg, 3, 4) : "", lobby + " :hello: everyone");

    // A private message to two names: each recipient sees its own name as the target.
    cat.SendLine("PRIVMSG ANN,bob :psst");
    for (auto [member, nick] : {std::pair{&ann, "ann"}, {&bob, "bob"}}) {
        auto psst = member->WaitFor([](auto& l) { return Is(l, "PRIVMSG", "cat"); });
        EXPECT_EQ(psst ? Word(*psst, 2) : "", nick);
    }
    // The sender never hears its own lobby messages.
    for (const auto& line : ann.TakeLines()) EXPECT_FALSE(Is(line, "PRIVMSG", "ann")) << line;

    bob.SendLine("PART " + lobby);
    EXPECT_TRUE(ann.WaitFor([](auto& l) { return Is(l, "PART", "bob"); }));
    cat.SendLine("QUIT :bye");
    auto quit = ann.WaitFor([](auto& l) { return Is(l, "QUIT", "cat"); });
    EXPECT_EQ(quit ? Word(*quit, 2, 3) : "", ":Quit: bye");
    EXPECT_FALSE(
        bob.WaitFor([](auto& l) { return Is(l, "QUIT"); }, std::chrono::milliseconds(100)));
}

TEST(ServiceLobbies, spreadALongNamesListOverSeveralLines) {
    LocalServer server;
    std::vector<std::unique_ptr<WireClient>> crowd;
    std::set<std::string> expected;
    for (int i = 0; i < 60; ++i) {
        std::string nick = "member" + std::to_string(100 + i);
        crowd.push_back(std::make_unique<WireClient>(server.BasePort()));
        ASSERT_TRUE(crowd.back()->LogOn(nick, "pw"));
        crowd.back()->SendLine("JOIN #Lob_12_1 plumvex4");
        expected.insert(nick);
    }
    ASSERT_TRUE(crowd.back()->WaitForCode("366"));
    WireClient ann(server.BasePort());
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    int lines = 0;
    expected.insert("ann");
    EXPECT_EQ(Join(ann, "#Lob_12_1", &lines), expected);
    EXPECT_GT(lines, 1);
}

TEST(ServiceIdleClients, arePingedAndDroppedWhenSilent) {
    LocalServer server{false, {"--ping-interval", "0.4"}};
    WireClient ann(server.BasePort()), bob(server.BasePort());
    ASSERT_TRUE(ann.LogOn("ann", "pw"));
    ASSERT_TRUE(bob.LogOn("bob", "pw"));
    Join(ann, "#Lob_12_0");
    Join(bob, "#Lob_12_0");

    // ann answers as the client does; bob stays silent.
    for (int i = 0; i < 2; ++i) {
        auto ping = ann.WaitFor([](auto& l) { return Word(l, 0) == "PING"; });
        ASSERT_TRUE(ping);
        ann.SendLine("PONG ann :");
    }
    EXPECT_TRUE(bob.WaitFor([](auto& l) { return Word(l, 0) == "PING"; }));
    EXPECT_TRUE(bob.WaitClosed());
    EXPECT_TRUE(ann.WaitFor([](auto& l) { return Is(l, "QUIT", "bob"); }));
    ann.SendLine("FINDUSEREX ann");
    EXPECT_TRUE(ann.WaitForCode("398"));
}

}  // namespace
}  // namespace vantor::test
