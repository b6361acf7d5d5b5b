// SPDX-License-Identifier: MIT
#include "chat/chat_lines.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(ChatLines, lobbyRowNamesTheLobbyByItsNumberAndKeepsTheCount) {
    const auto row = ParseLobbyRow(":s 327 bob x_12_3 17 0 388");
    ASSERT_TRUE(row);
    EXPECT_EQ(LobbyNames[size_t(row->number)], "Iron Hand");
    EXPECT_EQ(row->channel, "x_12_3");
    EXPECT_EQ(row->users, 17);

    const auto last = ParseLobbyRow(":s 327 bob #Lob_12_9 0");
    ASSERT_TRUE(last);
    EXPECT_EQ(LobbyNames[size_t(last->number)], "Crimson Barracks_2");
}

TEST(ChatLines, lobbyRowsOutsideTheLobbyRangeAreNotLobbies) {
    for (const char* line : {":s 327 bob x_13_3 5",     // another game's channel
                             ":s 327 bob x_12 5",       // no number
                             ":s 327 bob x_12_ 5",      // empty number
                             ":s 327 bob x_12_a 5",     // not a number
                             ":s 327 bob x_12_10 5",    // past the last lobby
                             ":s 327 bob x_12_-1 5",    // negative
                             ":s 327 bob x_12_99999999999999 5",
                             ":s 327 bob", ":s 327", "", ":s 322 bob x_12_3 5"}) {
        EXPECT_FALSE(ParseLobbyRow(line)) << line;
    }
}

TEST(ChatLines, lobbyRowWithoutAUsableCountShowsNone) {
    EXPECT_EQ(ParseLobbyRow(":s 327 bob x_12_0")->users, 0);
    EXPECT_EQ(ParseLobbyRow(":s 327 bob x_12_0 many")->users, 0);
    EXPECT_EQ(ParseLobbyRow(":s 327 bob x_12_0_extra 4")->number, 0);
}

TEST(ChatLines, namesPutOperatorsAsideAndDropWhatFollowsTheComma) {
    const auto names = ParseNames(":s 353 bob = #Lob_12_0 :@op bob,0,0  @ ,x carl");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].nick, "op");
    EXPECT_TRUE(names[0].op);
    EXPECT_EQ(names[1].nick, "bob");
    EXPECT_FALSE(names[1].op);
    EXPECT_EQ(names[2].nick, "carl");
}

TEST(ChatLines, namesLineWithMissingFieldsListsNobody) {
    EXPECT_TRUE(ParseNames(":s 353 bob = #Lob_12_0").empty());
    EXPECT_TRUE(ParseNames(":s 353").empty());
    EXPECT_TRUE(ParseNames(":s 353 bob = #Lob_12_0 :").empty());
}

TEST(ChatLines, messageSplitsSenderTargetAndText) {
    const auto msg = ParseMessage(":ann!u@h PRIVMSG #Lob_12_0 :hello  there :)");
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->sender, "ann");
    EXPECT_EQ(msg->target, "#Lob_12_0");
    EXPECT_EQ(msg->text, "hello  there :)");
    EXPECT_FALSE(msg->emote);

    EXPECT_EQ(ParseMessage(":ann PRIVMSG bob :hi")->sender, "ann");
    EXPECT_EQ(SenderOf(":carl!x@y JOIN :#Lob_12_0"), "carl");
    EXPECT_EQ(SenderOf(""), "");
}

TEST(ChatLines, emoteIsUnwrappedOnlyWhenBothMarksArePresent) {
    auto msg = ParseMessage(":ann!u@h PRIVMSG #c :\x01" "ACTIONwaves\x01");
    ASSERT_TRUE(msg);
    EXPECT_TRUE(msg->emote);
    EXPECT_EQ(msg->text, "waves");

    msg = ParseMessage(":ann!u@h PRIVMSG #c :\x01" "ACTION\x01");
    EXPECT_TRUE(msg->emote);
    EXPECT_EQ(msg->text, "");

    msg = ParseMessage(":ann!u@h PRIVMSG #c :\x01" "ACTION waves");
    EXPECT_FALSE(msg->emote);
    EXPECT_EQ(msg->text, "\x01" "ACTION waves");
}

TEST(ChatLines, messageWithMissingFieldsIsDropped) {
    EXPECT_FALSE(ParseMessage(":ann!u@h PRIVMSG #c"));
    EXPECT_FALSE(ParseMessage(":ann!u@h PRIVMSG"));
    EXPECT_FALSE(ParseMessage(": PRIVMSG #c :hi"));
    EXPECT_FALSE(ParseMessage(""));
}

TEST(ChatLines, fieldsKeepEmptyOnesAndTheRestOfTheLine) {
    EXPECT_EQ(SplitFields("a  b c", 0), (std::vector<std::string_view>{"a", "", "b", "c"}));
    EXPECT_EQ(SplitFields("a b c d", 2), (std::vector<std::string_view>{"a", "b c d"}));
    EXPECT_EQ(SplitFields("", 3), (std::vector<std::string_view>{""}));
}

TEST(ChatLines, lowerCaseCoversTheCodePagesLetters) {
    EXPECT_EQ(LowerWire("BoB[X]"), "bob[x]");
    EXPECT_EQ(LowerWire("\xC9\xD7\x8A\x9F"), "\xE9\xD7\x9A\xFF");
}

TEST(ChatLines, commandsAreSpelledAsTheServiceExpects) {
    EXPECT_EQ(ListCommand(), "LIST 0 12");
    EXPECT_EQ(JoinCommand("#Lob_12_3"), "JOIN #Lob_12_3 plumvex4");
    EXPECT_EQ(PartCommand("#Lob_12_3"), "PART #Lob_12_3");
    EXPECT_EQ(MessageCommand("a,b", "hi there"), "PRIVMSG a,b :hi there");
    EXPECT_EQ(EmoteCommand("#c", "waves"), "PRIVMSG #c :\x01" "ACTIONwaves\x01");
}

}  // namespace
}  // namespace vantor
