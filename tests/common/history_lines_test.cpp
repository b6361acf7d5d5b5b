// SPDX-License-Identifier: MIT
#include "common/history_lines.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

// Each rule exactly at its boundaries (long floods are checked against the text itself through
// the view). A text of 194 characters under a cap of 200: an empty line, 150 and 40 characters.
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
