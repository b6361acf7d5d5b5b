// SPDX-License-Identifier: MIT
#include "common/tag.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(Tag, rendersAsTheDumpFileWritesIt) {
    EXPECT_EQ(TagText(Tag{}), "");
    EXPECT_EQ(TagText(Tag{0}), "0");
    EXPECT_EQ(TagText(Tag{std::string("M")}), "M");
    EXPECT_TRUE(TagIsBlank(Tag{0}));
    EXPECT_TRUE(TagIsBlank(Tag{std::string()}));
    EXPECT_FALSE(TagIsBlank(Tag{7}));
    EXPECT_FALSE(TagIsBlank(Tag{std::string("0")}));
}

}  // namespace
}  // namespace vantor
