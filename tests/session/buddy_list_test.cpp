// SPDX-License-Identifier: MIT
#include "session/buddy_list.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

// Empty pieces name nobody; a list without a grave accent is one buddy.
TEST(SplitBuddyList, givesEveryNonEmptyPieceInOrder) {
    using Nicks = std::vector<std::string>;
    const std::pair<const char*, Nicks> cases[] = {
        {"", {}},
        {"`", {}},
        {"solo", {"solo"}},
        {"alice`Bob`carol", {"alice", "Bob", "carol"}},
        {"alice``carol", {"alice", "carol"}},
        {"`alice`", {"alice"}},
        {"alice`alice", {"alice", "alice"}},
        {"x y`z", {"x y", "z"}},
    };
    for (const auto& [list, nicks] : cases) EXPECT_EQ(SplitBuddyList(list), nicks) << list;
}

}  // namespace
}  // namespace vantor
