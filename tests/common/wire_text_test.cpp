// SPDX-License-Identifier: MIT
#include "common/wire_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor {
namespace {

using Pieces = std::vector<std::string_view>;

TEST(WireText, splitKeepsEmptyPiecesAndALimitLeavesTheRestWhole) {
    struct Case {
        std::string_view text;
        char separator;
        std::size_t limit;
        Pieces pieces;
    };
    const Case cases[] = {
        {"a b c", ' ', 0, {"a", "b", "c"}},
        {"a  b", ' ', 0, {"a", "", "b"}},
        {" a ", ' ', 0, {"", "a", ""}},
        {"", ' ', 0, {""}},
        {"a b c d", ' ', 2, {"a", "b c d"}},
        {":s 372 bob x :- a  b", ' ', 5, {":s", "372", "bob", "x", ":- a  b"}},
        {"a b", ' ', 5, {"a", "b"}},
        {"#x,0", ',', 0, {"#x", "0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.text << "\" limit " << c.limit);
        EXPECT_EQ(SplitOn(c.text, c.separator, c.limit), c.pieces);
        if (c.separator != ' ') continue;
        EXPECT_EQ(SplitWords(c.text, c.limit), c.pieces);
        // WordAt reads the same words without building the list, and "" past the last one.
        for (std::size_t i = 0; i < c.pieces.size() + 2; ++i) {
            EXPECT_EQ(WordAt(c.text, i, c.limit), i < c.pieces.size() ? c.pieces[i] : "") << i;
        }
    }
}

TEST(WireText, smallNumbersAreWholeFieldsOfPlainDigits) {
    const std::pair<std::string_view, std::optional<int>> cases[] = {
        {"0", 0},
        {"007", 7},
        {"123456789", 123456789},
        {"1234567890", std::nullopt},  // more than an int surely holds
        {"", std::nullopt},
        {"-1", std::nullopt},
        {" 1", std::nullopt},
        {"\xB2", std::nullopt},  // superscript two
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(SmallNumber(text), value) << text;

    EXPECT_EQ(SmallNumber("05", 2), 5);
    EXPECT_EQ(SmallNumber("99", 2), 99);
    EXPECT_EQ(SmallNumber("005", 2), std::nullopt);
}

TEST(WireText, signedNumbersTakeAMinusAndTheWholeInt32Range) {
    const std::pair<std::string_view, std::optional<std::int32_t>> cases[] = {
        {"-1", -1},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"+1", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12x", std::nullopt},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(SignedNumber(text), value) << text;
}

TEST(WireText, lowerCaseFoldsCodePageLettersOrOnlyAscii) {
    struct Case {
        std::string_view text;
        std::string_view cp1252;
        std::string_view ascii;
    };
    const Case cases[] = {
        // A-Z, A grave and thorn fold, the multiplication sign between them does not; S caron
        // and Y diaeresis fold into their small letters at 0x9A and 0xFF.
        {"AbZ\xC0\xDE\xD7\x8A\x9F_9", "abz\xE0\xFE\xD7\x9A\xFF_9", "abz\xC0\xDE\xD7\x8A\x9F_9"},
        {"\x8C\x8E", "\x9C\x9E", "\x8C\x8E"},                     // OE, Z caron
        {"@[`{\x80\x8B\xBF\xDF\xFF", "@[`{\x80\x8B\xBF\xDF\xFF",  // neighbours and sharp s stay
         "@[`{\x80\x8B\xBF\xDF\xFF"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LowerCp1252(c.text), c.cp1252) << c.text;
        EXPECT_EQ(LowerAscii(c.text), c.ascii) << c.text;
    }

    EXPECT_TRUE(SameAsciiNoCase("APGAR ", "apgar "));
    EXPECT_FALSE(SameAsciiNoCase("apga", "apgar"));
    EXPECT_FALSE(SameAsciiNoCase("\xC0", "\xE0"));
}

}  // namespace
}  // namespace vantor
