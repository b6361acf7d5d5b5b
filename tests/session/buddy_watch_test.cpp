// SPDX-License-Identifier: MIT
#include "session/buddy_watch.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct Move {
    const char* before;
    const char* now;
    const char* news;  // nullptr: nothing to tell
};

TEST(BuddyMoveText, tellsComingOnGoingOffAndRoomIntoGameOnly) {
    const Move moves[] = {
        {"Not Logged In", "Logged In", "marla is now Logged In"},
        {"Not Logged In", "Hiding", "marla is now Hiding"},
        {"Not Logged In", "Chat Room: Azure Barracks", "marla is now in Chat Room: Azure Barracks"},
        {"Not Logged In", "Game: Red Alert", "marla is now in Game: Red Alert"},
        {"Game: Red Alert", "Not Logged In", "marla is now Not Logged In"},
        {"Chat Room: Azure Barracks", "Not Logged In", "marla is now Not Logged In"},
        {"Chat Room", "Game: Red Alert", "marla is now in Game: Red Alert"},
        {"Chat Room: Azure Barracks", "Game: Red Alert", "marla is now in Game: Red Alert"},
        // Moves inside being on are not news.
        {"Game: Red Alert", "Chat Room: Azure Barracks", nullptr},
        {"Logged In", "Chat Room: Azure Barracks", nullptr},
        {"Logged In", "Game: Red Alert", nullptr},
        {"Chat Room: Azure Barracks", "Chat Room: Tank Depot", nullptr},
        {"Not Logged In", "Not Logged In", nullptr},
        // Nothing known on one side.
        {"Unknown", "Game: Red Alert", nullptr},
        {"Not Logged In", "Unrecognised location", nullptr},
        {"Unrecognised location", "Not Logged In", nullptr},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(std::string(m.before) + " -> " + m.now);
        const auto news = BuddyMoveText("marla", m.before, m.now);
        if (m.news == nullptr) {
            EXPECT_FALSE(news.has_value()) << *news;
        } else {
            EXPECT_EQ(news, std::optional<std::string>(m.news));
        }
    }
}

TEST(BuddyWatch, firstSightingOnlyRecordsThenOneNewsPerBuddyPerSearch) {
    BuddyWatch watch;
    watch.NewSearch();
    EXPECT_FALSE(watch.Seen("marla", 1, "Not Logged In"));
    EXPECT_FALSE(watch.Seen("bob", 1, "Chat Room: Azure Barracks"));

    watch.NewSearch();
    EXPECT_EQ(watch.Seen("Marla", 1, "Chat Room: Azure Barracks"),
              std::optional<std::string>("Marla is now in Chat Room: Azure Barracks"));
    EXPECT_FALSE(watch.Seen("bob", 1, "Chat Room: Azure Barracks"));
    // Seen again in the same search (another column, a refreshed row): no second alert.
    EXPECT_FALSE(watch.Seen("marla", 2, "Not Logged In"));
    EXPECT_FALSE(watch.Seen("marla", 1, "Game: Red Alert"));

    watch.NewSearch();
    EXPECT_FALSE(watch.Seen("marla", 1, "Game: Red Alert"));  // recorded although not told
    EXPECT_TRUE(watch.Seen("marla", 2, "Logged In"));         // columns are kept apart

    // An unreadable answer neither alerts nor wipes what was known.
    watch.NewSearch();
    EXPECT_FALSE(watch.Seen("bob", 1, "Unrecognised location"));
    watch.NewSearch();
    EXPECT_TRUE(watch.Seen("bob", 1, "Not Logged In"));

    // A new log-on: the first search records again.
    watch.Forget();
    watch.NewSearch();
    EXPECT_FALSE(watch.Seen("marla", 1, "Not Logged In"));
    watch.NewSearch();
    EXPECT_TRUE(watch.Seen("marla", 1, "Logged In"));
}

}  // namespace
}  // namespace vantor
