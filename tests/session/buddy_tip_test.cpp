// SPDX-License-Identifier: MIT
#include "session/buddy_tip.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr std::int64_t kNoon = 1'700'000'000 - 1'700'000'000 % 86400 + 12 * 3600;  // 12:00 UTC

TEST(BuddyTip, whenALocationWasLookedUpReadsAsClockAndAge) {
    const struct {
        std::int64_t at;
        std::int64_t now;
        int offset;
        const char* text;
    } cases[] = {
        {kNoon + 4 * 60, kNoon + 7 * 60 + 59, 0, "12:04, 3 minutes ago"},
        {kNoon, kNoon + 59, 0, "12:00, just now"},
        {kNoon, kNoon - 30, 0, "12:00, just now"},  // the clock was set back
        {kNoon, kNoon + 60, 0, "12:00, 1 minute ago"},
        {kNoon, kNoon + 3600, 3600, "13:00, 1 hour ago"},
        {kNoon, kNoon + 5 * 3600 + 10, -13 * 3600, "23:00, 5 hours ago"},
        {kNoon + 9 * 60, kNoon + 2 * 86400, 0, "12:09, 1 day ago"},
        {kNoon, kNoon + 3 * 86400, 0, "12:00, 3 days ago"},
    };
    for (const auto& c : cases) EXPECT_EQ(LookedUpText(c.at, c.now, c.offset), c.text);
}

TEST(BuddyTip, aCellTellsItsLocationInWordsAndTheNicknameEveryServer) {
    const TipClock clock{.now = kNoon + 180, .utcOffset = [](std::int64_t) { return 0; }};
    const BuddyRow one{"ann", {"Chat Room: Iron Hand"}};
    EXPECT_EQ(BuddyTip(one, {kNoon}, ServerMode::OneServer, 1, clock),
              "In the chat room Iron Hand (looked up 12:00, 3 minutes ago)");
    EXPECT_EQ(BuddyTip(one, {kNoon}, ServerMode::OneServer, 0, clock),
              "In the chat room Iron Hand (looked up 12:00, 3 minutes ago)");
    EXPECT_EQ(BuddyTip(one, {kNever}, ServerMode::OneServer, 1, clock),
              "In the chat room Iron Hand (not looked up yet)");
    EXPECT_EQ(BuddyTip(one, {kNoon}, ServerMode::OneServer, 2, clock), "");
    EXPECT_EQ(BuddyTip({"ann", {}}, {}, ServerMode::None, 0, clock), "");

    const BuddyRow three{"ben", {"Unknown", "Game: ColdFront", "Hiding"}};
    const std::vector<std::int64_t> times{kNever, kNoon + 60, kNoon - 3600};
    EXPECT_EQ(BuddyTip(three, times, ServerMode::AllServers, 0, clock),
              "USA Server: Location not known (not looked up yet)\n"
              "European Server: In the game ColdFront (looked up 12:01, 2 minutes ago)\n"
              "Pacific Server: Logged in, hiding (looked up 11:00, 1 hour ago)");
    EXPECT_EQ(BuddyTip(three, times, ServerMode::AllServers, 2, clock),
              "In the game ColdFront (looked up 12:01, 2 minutes ago)");
}

TEST(BuddyTip, everyKindOfLocationHasItsWords) {
    const struct {
        const char* location;
        const char* words;
    } cases[] = {
        {"Not Logged In", "Not logged in"},
        {"Hiding", "Logged in, hiding"},
        {"Logged In", "Logged in"},
        {"Chat Room: Orchid Talk", "In the chat room Orchid Talk"},
        {"Chat Room", "In a chat room"},
        {"Game: MyGame", "In the game MyGame"},
        {"Unknown", "Location not known"},
        {"Unrecognised location", "Location not recognised"},
        {"", "Location not recognised"},
    };
    for (const auto& c : cases) EXPECT_EQ(LocationWords(c.location), c.words) << c.location;
}

}  // namespace
}  // namespace vantor
