// SPDX-License-Identifier: MIT
#include "chat/chat_history.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vantor {
namespace {

// The bookkeeping must cut exactly where cutting the text itself would.
TEST(HistoryLines, cutsWhereTheTextWouldBeCut) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> len(0, 180);
    HistoryLines lines;
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        const std::string entry(size_t(len(rng)), 'x');
        if (text.size() + entry.size() > 10000) {
            const auto at = text.find("\r\n", entry.size() + 99);
            text.erase(0, at == std::string::npos ? text.size() : at + 2);
        }
        text += "\r\n" + entry;
        lines.Drop(lines.CutFor(entry.size()));
        lines.Append(entry.size());
        ASSERT_EQ(lines.Length(), text.size()) << "entry " << i;
    }
}

TEST(HistoryLines, oneHugeLineCannotHoldTheCapOpen) {
    HistoryLines lines;
    lines.Append(20000);
    EXPECT_EQ(lines.CutFor(10).lines, lines.Lines());
    lines.Drop(lines.CutFor(10));
    EXPECT_EQ(lines.Length(), 0u);
}

// A text of 194 characters under a cap of 200: an empty line, 150 characters, 40 characters.
TEST(HistoryLines, eachRuleAtTheCapBoundary) {
    using enum HistoryLines::NoBreak;
    struct Row {
        HistoryLines::NoBreak rule;
        std::size_t entry;
        std::size_t lines;
        bool firstCharacter;
        std::size_t lengthAfterCut;
    };
    const Row rows[] = {
        {kClearAll, 6, 0, false, 194},  // reaches the cap exactly
        {kFirstCharacter, 6, 0, false, 194},
        {kClearAll, 7, 2, false, 40},  // the break at 152 is at or after 7 + 100
        {kFirstCharacter, 7, 2, false, 40},
        {kClearAll, 60, 3, false, 0},         // no break at or after 160: all of it
        {kFirstCharacter, 60, 0, true, 192},  // the empty first line's CR LF only
    };
    for (const Row& row : rows) {
        HistoryLines lines(200, row.rule);
        lines.Append(150);
        lines.Append(40);
        const HistoryLines::Cut cut = lines.CutFor(row.entry);
        EXPECT_EQ(cut.lines, row.lines) << row.entry;
        EXPECT_EQ(cut.firstCharacter, row.firstCharacter) << row.entry;
        lines.Drop(cut);
        EXPECT_EQ(lines.Length(), row.lengthAfterCut) << row.entry;
    }

    // Then one character of the first line at a time.
    HistoryLines lines(200, kFirstCharacter);
    lines.Append(150);
    lines.Drop({0, true});
    lines.Drop({0, true});
    EXPECT_EQ(lines.Length(), 149u);
    EXPECT_EQ(lines.Lines(), 1u);
}

}  // namespace
}  // namespace vantor
