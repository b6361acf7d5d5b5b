// SPDX-License-Identifier: MIT
#include "session/location.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

// Malformed replies give readable texts instead of failing.
TEST(DecodeLocation, statusWordChatRoomOrGameGiveTheText) {
    const char* const unknown = "Unrecognised location";
    const std::pair<const char*, const char*> cases[] = {
        {":s 398 bob 1", "Not Logged In"},
        {":s 398 bob 2", "Hiding"},
        {":s 398 bob 3 trailing words", "Logged In"},
        {":s 398 bob 4", unknown},
        {":s 398 bob 01", unknown},
        {":s 398 bob ", unknown},
        {":s 398 bob  1", unknown},  // an empty word is its own part
        {":s 398 bob 0 xxAB_7_3,0", "Chat Room: Iron Hand"},
        {":s 398 bob 0 #Lob_21_0,0", "Chat Room: Azure Barracks"},
        {":s 398 bob 0 #Lob_21_4,0", "Chat Room: Captain's Hottub"},
        {":s 398 bob 0 #Lob_21_9,0", "Chat Room: Crimson Barracks_2"},
        {":s 398 bob 0 #Lob_21_8_extra,0,more", "Chat Room: Azure Barracks_2"},
        {":s 398 bob 0 xxMy Big Game,12", "Game: My Big Game"},
        {":s 398 bob 0 xx,12", "Game: "},
        {":s 398 bob 0 xxMyGame,7", ""},
        {":s 398 bob 0 xxMyGame,", ""},
        {"", unknown},
        {":s 398", unknown},
        {":s 398 bob 0", unknown},                  // no channel
        {":s 398 bob 0 xxMyGame", unknown},         // no type
        {":s 398 bob 0 xxAB_7,0", "Chat Room"},     // too few pieces
        {":s 398 bob 0 x,0", "Chat Room"},          // name shorter than prefix
        {":s 398 bob 0 xxAB_7_10,0", "Chat Room"},  // past the last lobby
        {":s 398 bob 0 xxAB_7_-1,0", "Chat Room"},
        {":s 398 bob 0 xxAB_7_3a,0", "Chat Room"},
        {":s 398 bob 0 xxAB_7_,0", "Chat Room"},
        {":s 398 bob 0 xxAB_7_99999999999999999999,0", "Chat Room"},
    };
    for (const auto& [line, text] : cases) EXPECT_EQ(DecodeLocation(line), text) << line;
}

}  // namespace
}  // namespace vantor
