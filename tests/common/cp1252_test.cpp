// SPDX-License-Identifier: MIT
#include "common/cp1252.h"

#include <gtest/gtest.h>
#include <utility>

namespace vantor {
namespace {

TEST(Cp1252, everyByteRoundTripsThroughUnicodeExceptTheUndefinedFive) {
    for (int b = 0; b < 256; ++b) {
        char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(b));
        if (cp == 0xFFFD) {
            EXPECT_EQ(UnicodeToCp1252(cp), '?') << b;
            continue;
        }
        EXPECT_EQ(static_cast<unsigned char>(UnicodeToCp1252(cp)), b) << b;
    }
}

TEST(Cp1252, euroSignIs0x80AndNotLatin1) {
    EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(static_cast<unsigned char>(UnicodeToCp1252(U'\u20AC')), 0x80);
    EXPECT_EQ(UnicodeToCp1252(U'\u0080'), '?');  // the C1 control has no place in the code page
}

TEST(Cp1252, utf8KeepsAccentedLettersAndTurnsTheRestAndBrokenInputIntoQuestionMarks) {
    for (const auto& [utf8, wire] : {std::pair{"\xE6\x97\xA5 ok", "? ok"},
                                     {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
                                     {"a\xC3", "a?"},
                                     {"\xFF\xFE", "??"}})
        EXPECT_EQ(Utf8ToCp1252(utf8), wire) << utf8;
    EXPECT_EQ(Cp1252ToUtf8("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
}

}  // namespace
}  // namespace vantor
