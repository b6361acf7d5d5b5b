// SPDX-License-Identifier: MIT
#include "app/in_pass.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "session/wolcon.h"

namespace vantor {
namespace {

TEST(InPass, aSessionIsRefusedOnlyInsideItsOwnPassAndFreedWhenThePassThrows) {
    InPass inPass;
    WOLCon a;
    WOLCon b;
    {
        const InPass::Guard outer(inPass, a);
        ASSERT_TRUE(outer.Entered());
        EXPECT_FALSE(InPass::Guard(inPass, a).Entered());  // a nested tick skips it
        EXPECT_TRUE(InPass::Guard(inPass, b).Entered());
        EXPECT_TRUE(inPass.Contains(a));  // a refused guard does not take the mark with it
    }
    EXPECT_FALSE(inPass.Contains(a));

    try {
        const InPass::Guard guard(inPass, b);
        throw std::runtime_error("pass failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(inPass.Contains(b));
    EXPECT_TRUE(InPass::Guard(inPass, b).Entered());
}

}  // namespace
}  // namespace vantor
