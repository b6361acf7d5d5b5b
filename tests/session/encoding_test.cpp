// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "session/encoding.h"
#include "session/log_redact.h"

namespace vantor {
namespace {

TEST(EncFunct, pairsEachCharacterWithItsMirrorByParity) {
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "abc"},  // 97*2 & 0 = 0, 98 ^ 99 = 1, 99*2 & 98 = 66 -> indexes 0, 1, 2
        {"", ""},
        {"a", "a"},  // odd: anything AND the terminating 0
        {"b", "I"},  // even: 98 XOR 0 = 98, 98 AND 63 = 34
        {"pass", "WcIG"},
        {"Zz09", "AdaY"},
        {"hunter2", "OICraCh"},
        // As signed chars 0xE9 would be -23 and the AND/XOR results would differ.
        {"\xE9t\xE9", "aDq"},
        {"\x80\xFF", "a."},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(EncFunct(in), out) << in;
}

TEST(RedactForLog, hidesOnlyThePasswordWordOfTheLogOnLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"apgar WcIG 0", "apgar ******** 0"},
        {"apgar  0", "apgar ******** 0"},  // an empty password is hidden too
        {"APGAR WcIG 0", "APGAR ******** 0"},
        {"apgar WcIG", "apgar ********"},
        {"NICK bob", "NICK bob"},
        {"PAGE apgar :apgar x 0", "PAGE apgar :apgar x 0"},
        {"apgarx 0", "apgarx 0"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(RedactForLog(in), out) << in;
}

}  // namespace
}  // namespace vantor
