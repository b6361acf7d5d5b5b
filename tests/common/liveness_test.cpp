// SPDX-License-Identifier: MIT
#include "common/liveness.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vantor {
namespace {

TEST(Liveness, aWatchEndsWithItsOwnerOrARenewalAndOnlyThen) {
    auto owner = std::make_unique<Liveness>();
    const auto before = owner->watch();
    EXPECT_TRUE(before());
    owner->Renew();
    const auto after = owner->watch();
    EXPECT_FALSE(before());  // the run it watched was cancelled
    EXPECT_TRUE(after());
    owner.reset();
    EXPECT_FALSE(after());
    EXPECT_FALSE(Liveness::Watch{}());  // watches nothing
}

TEST(CallCopy, theHandlerMayDestroyTheFunctionItRunsFrom) {
    struct Owner {
        std::function<int(int)> event;
    };
    auto owner = std::make_unique<Owner>();
    int seen = 0;
    owner->event = [&owner, &seen, big = std::make_shared<int>(7)](int value) {
        owner.reset();  // destroys the std::function (and its captures) being called
        seen = value + *big;
        return seen;
    };
    EXPECT_EQ(CallCopy(owner->event, 3), 10);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(seen, 10);
    EXPECT_EQ(CallCopy(std::function<int(int)>{}, 3), 0);  // an empty handler is not called
}

}  // namespace
}  // namespace vantor
