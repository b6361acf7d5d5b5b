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

}  // namespace
}  // namespace vantor
