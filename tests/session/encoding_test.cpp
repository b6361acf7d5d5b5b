// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "session/encoding.h"
#include "session/log_redact.h"

namespace vantor {
namespace {

TEST(EncFunct, worksThroughTheThreeLetterExample) {
    // 97*2 & 0 = 0, 98 ^ 99 = 1, 99*2 & 98 = 66 -> indexes 0, 1, 2.
    EXPECT_EQ(EncFunct("abc"), "abc");
}

TEST(EncFunct, firstCharacterDependsOnlyOnItsOwnParity) {
    EXPECT_EQ(EncFunct(""), "");
    EXPECT_EQ(EncFunct("a"), "a");  // odd: anything AND the terminating 0
    EXPECT_EQ(EncFunct("b"), "I");  // even: 98 XOR 0 = 98, 98 AND 63 = 34
    EXPECT_EQ(EncFunct("pass")[0], 'W');
}

TEST(EncFunct, pairsEachCharacterWithItsMirror) {
    // p(112) even, a(97) odd, s(115) odd twice: 48, 194&115, 230&115, 230&97.
    EXPECT_EQ(EncFunct("pass"), "WcIG");
    EXPECT_EQ(EncFunct("Zz09"), "AdaY");
    EXPECT_EQ(EncFunct("hunter2"), "OICraCh");
}

TEST(EncFunct, takesHighBytesAsUnsignedCodes) {
    // As signed chars 0xE9 would be -23 and the AND/XOR results would differ.
    EXPECT_EQ(EncFunct("\xE9t\xE9"), "aDq");
    EXPECT_EQ(EncFunct("\x80\xFF"), "a.");
}

TEST(EncFunct, keepsLengthAndStaysInsideTheAlphabet) {
    std::string password;
    for (int c = 1; c < 256; ++c) password.push_back(static_cast<char>(c));
    const std::string out = EncFunct(password);
    ASSERT_EQ(out.size(), password.size());
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789./";
    EXPECT_EQ(out.find_first_not_of(alphabet), std::string::npos);
}

TEST(RedactForLog, hidesOnlyThePasswordWordOfTheLogOnLine) {
    EXPECT_EQ(RedactForLog("apgar WcIG 0"), "apgar ******** 0");
    EXPECT_EQ(RedactForLog("apgar  0"), "apgar ******** 0");  // an empty password is hidden too
    EXPECT_EQ(RedactForLog("APGAR WcIG 0"), "APGAR ******** 0");
    EXPECT_EQ(RedactForLog("apgar WcIG"), "apgar ********");
}

TEST(RedactForLog, leavesEveryOtherCommandAlone) {
    EXPECT_EQ(RedactForLog("NICK bob"), "NICK bob");
    EXPECT_EQ(RedactForLog("PAGE apgar :apgar x 0"), "PAGE apgar :apgar x 0");
    EXPECT_EQ(RedactForLog("apgarx 0"), "apgarx 0");
    EXPECT_EQ(RedactForLog(""), "");
}

}  // namespace
}  // namespace vantor
