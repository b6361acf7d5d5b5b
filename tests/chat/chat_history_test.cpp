// SPDX-License-Identifier: MIT
#include "chat/chat_history.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vantor {
namespace {

// The history as text, trimmed by the rule the bookkeeping mirrors.
struct TextHistory {
    std::string text;
    void Add(const std::string& entry) {
        if (text.size() + entry.size() > 10000) {
            const auto at = text.find("\r\n", entry.size() + 99);
            text.erase(0, at == std::string::npos ? text.size() : at + 2);
        }
        text += "\r\n" + entry;
    }
};

TEST(HistoryLines, matchesTheTrimmedTextEntryForEntry) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> len(0, 180);
    HistoryLines lines;
    TextHistory model;
    for (int i = 0; i < 3000; ++i) {
        const std::string entry(size_t(len(rng)), 'x');
        lines.DropFront(lines.LinesToDrop(entry.size()));
        lines.Append(entry.size());
        model.Add(entry);
        ASSERT_EQ(lines.Length(), model.text.size()) << "entry " << i;
        ASSERT_LE(lines.Length(), 10000u + 2);
    }
}

TEST(HistoryLines, staysUntouchedUpToTheCap) {
    HistoryLines lines(100);
    lines.Append(48);
    lines.Append(48);  // 100 characters with both line breaks
    EXPECT_EQ(lines.LinesToDrop(0), 0u);
    EXPECT_GT(lines.LinesToDrop(1), 0u);
}

TEST(HistoryLines, cutsThroughTheFirstBreakAtOrAfterTheEntryLengthPlusHundred) {
    HistoryLines lines(255);
    // "" CRLF 98 CRLF 1 CRLF 150: breaks start at 0, 100, 103.
    lines.Append(98);
    lines.Append(1);
    lines.Append(150);
    EXPECT_EQ(lines.LinesToDrop(1), 2u);   // search from 100: the break after the 98
    EXPECT_EQ(lines.LinesToDrop(2), 3u);   // from 101: the break after the 1
    EXPECT_EQ(lines.LinesToDrop(0), 0u);   // still within the cap
    lines.DropFront(2);
    EXPECT_EQ(lines.Length(), 1u + 2 + 150);
    EXPECT_EQ(lines.Lines(), 2u);
}

TEST(HistoryLines, oneHugeLineCannotHoldTheCapOpen) {
    HistoryLines lines;
    lines.Append(20000);
    EXPECT_EQ(lines.LinesToDrop(10), lines.Lines());
    lines.DropFront(lines.Lines());
    EXPECT_EQ(lines.Length(), 0u);
    EXPECT_EQ(lines.Lines(), 1u);
}

}  // namespace
}  // namespace vantor
