// SPDX-License-Identifier: MIT
#include "session/reconnect_policy.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

struct Policy {
    double now = 100;
    double jitter = 0;
    ReconnectPolicy policy;
    Policy() {
        policy.SetClock([this] { return now; });
        policy.SetJitter([this](double) { return jitter; });
    }
    // Steps the clock in half seconds, failing every attempt; the times attempts start at.
    std::vector<double> FailingAttemptsUntil(double end) {
        std::vector<double> at;
        for (; now <= end; now += 0.5) {
            if (policy.Due()) {
                at.push_back(now);
                policy.Failed();
            }
        }
        return at;
    }
};

TEST(ReconnectPolicy, attemptsFollowTheDoublingWaitsThenEveryMinute) {
    Policy p;
    p.policy.Start();
    EXPECT_EQ(p.policy.GetState(), ReconnectPolicy::State::Waiting);
    EXPECT_DOUBLE_EQ(p.policy.SecondsLeft(), 2);
    // 2, 4, 8, 16, 32, 60, 60 after each previous attempt.
    EXPECT_EQ(p.FailingAttemptsUntil(300),
              (std::vector<double>{102, 106, 114, 130, 162, 222, 282}));
    EXPECT_EQ(p.policy.Attempts(), 7);
    EXPECT_DOUBLE_EQ(ReconnectPolicy::Wait(40), 60);  // no doubling past the cap, however long
}

TEST(ReconnectPolicy, jitterMovesEachAttemptAndNeverBeforeNow) {
    Policy p;
    p.jitter = 0.3;
    p.policy.Start();
    EXPECT_NEAR(p.policy.SecondsLeft(), 2.3, 1e-9);
    p.jitter = -5;  // more than the wait: the attempt comes at once, not in the past
    p.now = 103;
    ASSERT_TRUE(p.policy.Due());
    p.policy.Failed();
    EXPECT_DOUBLE_EQ(p.policy.SecondsLeft(), 0);
    EXPECT_TRUE(p.policy.Due());
}

TEST(ReconnectPolicy, dueOnlyOnceAndOnlyWhileWaiting) {
    struct Row {
        const char* what;
        void (*act)(ReconnectPolicy&);
        ReconnectPolicy::State state;
    };
    const Row rows[] = {
        {"attempting stays until told", [](ReconnectPolicy&) {},
         ReconnectPolicy::State::Attempting},
        {"success ends it", [](ReconnectPolicy& r) { r.Succeeded(); },
         ReconnectPolicy::State::Idle},
        {"cancel ends it", [](ReconnectPolicy& r) { r.Cancel(); }, ReconnectPolicy::State::Idle},
        {"failure waits again", [](ReconnectPolicy& r) { r.Failed(); },
         ReconnectPolicy::State::Waiting},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Policy p;
        p.policy.Start();
        EXPECT_FALSE(p.policy.Due());
        p.now += 2;
        ASSERT_TRUE(p.policy.Due());
        EXPECT_FALSE(p.policy.Due());
        row.act(p.policy);
        EXPECT_EQ(p.policy.GetState(), row.state);
        p.now += 1000;
        EXPECT_EQ(p.policy.Due(), row.state == ReconnectPolicy::State::Waiting);
    }
}

TEST(ReconnectPolicy, cancelWhileWaitingStopsAttemptsAndAFreshStartBeginsAtTwo) {
    Policy p;
    p.policy.Start();
    p.now += 2;
    ASSERT_TRUE(p.policy.Due());
    p.policy.Failed();
    p.policy.Cancel();
    EXPECT_FALSE(p.policy.Active());
    EXPECT_TRUE(p.FailingAttemptsUntil(400).empty());
    p.policy.Failed();  // a late report of an attempt nobody waits for changes nothing
    EXPECT_FALSE(p.policy.Active());
    p.policy.Start();
    EXPECT_DOUBLE_EQ(p.policy.SecondsLeft(), 2);
}

}  // namespace
}  // namespace vantor
