// SPDX-License-Identifier: MIT
#include "chat/chat_lines.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(ChatLines, lobbyRowsNeedTheLobbyMarkAndANumberFromZeroToNine) {
    const auto row = ParseLobbyRow(":s 327 bob x_12_3 17 0 388");
    ASSERT_TRUE(row);
    EXPECT_EQ(LobbyNames[size_t(row->number)], "Iron Hand");
    EXPECT_EQ(row->channel, "x_12_3");
    EXPECT_EQ(row->users, 17);
    EXPECT_EQ(ParseLobbyRow(":s 327 bob #L_12_9")->users, 0);  // no count: none shown
    EXPECT_EQ(ParseLobbyRow(":s 327 bob #L_12_9 lots")->users, 0);

    for (const char* line : {":s 327 bob x_13_3 5", ":s 327 bob x_12 5", ":s 327 bob x_12_ 5",
                             ":s 327 bob x_12_a 5", ":s 327 bob x_12_10 5", ":s 327 bob x_12_-1 5",
                             ":s 327 bob x_12_99999999999999 5", ":s 327 bob", ""}) {
        EXPECT_FALSE(ParseLobbyRow(line)) << line;
    }
}

TEST(ChatLines, namesMarkOperatorsAndDropWhatFollowsTheComma) {
    const auto names = ParseNames(":s 353 bob = #L_12_0 :@op bob,0,0  @ ,x carl");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_TRUE(names[0].nick == "op" && names[0].op);
    EXPECT_TRUE(names[1].nick == "bob" && !names[1].op);
    EXPECT_EQ(names[2].nick, "carl");
    EXPECT_TRUE(ParseNames(":s 353 bob = #L_12_0").empty());
}

TEST(ChatLines, messagesSplitIntoSenderTargetAndTextAndUnwrapEmotes) {
    auto msg = ParseMessage(":ann!u@h PRIVMSG #c :hello  there :)");
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->sender + "|" + msg->target + "|" + msg->text, "ann|#c|hello  there :)");
    EXPECT_FALSE(msg->emote);

    msg = ParseMessage(
        ":ann!u@h PRIVMSG #c :\x01"
        "ACTIONwaves\x01");
    EXPECT_TRUE(msg->emote);
    EXPECT_EQ(msg->text, "waves");
    msg = ParseMessage(
        ":ann PRIVMSG #c :\x01"
        "ACTION waves");  // unterminated: plain text
    EXPECT_FALSE(msg->emote);
    EXPECT_EQ(msg->sender, "ann");

    for (const char* line : {":ann!u@h PRIVMSG #c", ": PRIVMSG #c :hi", ""}) {
        EXPECT_FALSE(ParseMessage(line)) << line;
    }
}

}  // namespace
}  // namespace vantor
