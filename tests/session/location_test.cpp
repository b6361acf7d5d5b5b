// SPDX-License-Identifier: MIT
#include "session/location.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct Case {
    const char* line;
    const char* text;
};

void ExpectDecoded(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(DecodeLocation(c.line), c.text) << c.line;
}

TEST(DecodeLocation, statusWordSelectsTheTextAndOnlyExactCodesCount) {
    ExpectDecoded({{":s 398 bob 1", "Not Logged In"},
                   {":s 398 bob 2", "Hiding"},
                   {":s 398 bob 3", "Logged In"},
                   {":s 398 bob 3 trailing words", "Logged In"},
                   {":s 398 bob 4", "Unrecognised location"},
                   {":s 398 bob 01", "Unrecognised location"},
                   {":s 398 bob ", "Unrecognised location"},
                   {":s 398 bob  1", "Unrecognised location"}});  // an empty word is its own part
}

TEST(DecodeLocation, chatRoomNamesTheLobbyByTheThirdPieceOfTheChannel) {
    ExpectDecoded({{":s 398 bob 0 xxAB_7_3,0", "Chat Room: Iron Hand"},
                   {":s 398 bob 0 #Lob_21_0,0", "Chat Room: Azure Barracks"},
                   {":s 398 bob 0 #Lob_21_4,0", "Chat Room: Captain's Hottub"},
                   {":s 398 bob 0 #Lob_21_9,0", "Chat Room: Crimson Barracks_2"},
                   {":s 398 bob 0 #Lob_21_8_extra,0,more", "Chat Room: Azure Barracks_2"}});
}

TEST(DecodeLocation, gameShowsChannelLessItsPrefixAndOtherTypesAreEmpty) {
    ExpectDecoded({{":s 398 bob 0 xxMyGame,12", "Game: MyGame"},
                   {":s 398 bob 0 xxMy Big Game,12", "Game: My Big Game"},
                   {":s 398 bob 0 xx,12", "Game: "},
                   {":s 398 bob 0 xxMyGame,7", ""},
                   {":s 398 bob 0 xxMyGame,", ""}});
}

TEST(DecodeLocation, malformedRepliesGiveReadableTextsInsteadOfFailing) {
    ExpectDecoded({{"", "Unrecognised location"},
                   {":s 398", "Unrecognised location"},
                   {":s 398 bob", "Unrecognised location"},
                   {":s 398 bob 0", "Unrecognised location"},           // no channel
                   {":s 398 bob 0 xxMyGame", "Unrecognised location"},  // no type
                   {":s 398 bob 0 xxAB_7,0", "Chat Room"},              // too few pieces
                   {":s 398 bob 0 x,0", "Chat Room"},                   // name shorter than prefix
                   {":s 398 bob 0 xxAB_7_10,0", "Chat Room"},           // past the last lobby
                   {":s 398 bob 0 xxAB_7_-1,0", "Chat Room"},
                   {":s 398 bob 0 xxAB_7_3a,0", "Chat Room"},
                   {":s 398 bob 0 xxAB_7_,0", "Chat Room"},
                   {":s 398 bob 0 xxAB_7_99999999999999999999,0", "Chat Room"}});
}

}  // namespace
}  // namespace vantor
