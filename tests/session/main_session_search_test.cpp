// SPDX-License-Identifier: MIT
// The main session's location search against the bundled service and its demo users.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "main_session_fixture.h"
#include "session/buddy_order.h"
#include "session/main_session.h"
#include "settings/settings_store.h"
#include "support/demo_places.h"
#include "support/local_server.h"
#include "support/loopback_peer.h"
#include "support/pump.h"

namespace vantor::test {
namespace {

// The progress counts every answer of the search up to rows times columns, a column whose
// server cannot be reached counts as failed, and the end tells the time it took.
TEST(MainSessionSearch, progressCountsEachAnswerAndTheEndSaysHowItWent) {
    struct Row {
        int allServers;
        int received;
        const char* statusEnd;
    };
    for (const Row& r :
         {Row{0, 8, " seconds"}, Row{1, 16, " seconds (8 of 24 could not connect)"}}) {
        SCOPED_TRACE(r.allServers);
        ScopedRegistry registry;
        LocalServer server(/*demo=*/true);
        ASSERT_TRUE(server.Ok());
        // All servers: logged on to the second, the first sits just below the service's ports.
        SaveSettingString("ServerHost", "127.0.0.1");
        SaveSettingLong("ScanBuddyOtherServer", r.allServers);
        SaveSettingLong("Server", r.allServers);
        SaveSettingLong("ServerPort", server.BasePort() - r.allServers);
        FakeMainView view;
        MainSession session(view);
        session.Buddies().SetDecimalPoint(",");
        session.LogOn("demo", "demo");
        const auto searched = [&] { return view.status.starts_with("Search completed in "); };
        ASSERT_TRUE(PumpUntil(searched, [&] {
            view.RunLater();
            if (view.Running(MainTimer::Receive)) session.Pump();
            if (view.Running(MainTimer::SearchPoll)) session.Buddies().PumpSearch();
        }));

        const int columns = r.allServers ? 3 : 1;
        ASSERT_EQ(session.Buddies().Rows().size(), std::size_t(kDemoBuddies));
        for (const auto& [nick, place] : kDemoPlaces) {
            const auto row =
                std::ranges::find(session.Buddies().Rows(), std::string(nick), &BuddyRow::nick);
            ASSERT_NE(row, session.Buddies().Rows().end()) << nick;
            for (int c = 0; c < columns; ++c) {
                EXPECT_EQ(row->locations[std::size_t(c)],
                          c == 0 && r.allServers ? "Unknown" : place)
                    << nick << " " << c;
            }
        }
        // 0 at the start, one step per answer, back to 0 at the end, the maximum throughout.
        const int max = kDemoBuddies * columns;
        std::vector<std::pair<int, int>> expected{{0, max}};
        for (int v = 1; v <= r.received; ++v) expected.emplace_back(v, max);
        expected.emplace_back(0, max);
        EXPECT_EQ(
            std::vector(view.progress.end() - std::ptrdiff_t(expected.size()), view.progress.end()),
            expected);
        EXPECT_EQ(session.Buddies().RepliesReceived(), r.received);
        EXPECT_EQ(session.Buddies().RepliesExpected(), max);
        EXPECT_TRUE(view.status.ends_with(r.statusEnd)) << view.status;
        EXPECT_EQ(session.Buddies().TempSessions(), nullptr);
        EXPECT_TRUE(view.controls.refresh && view.controls.add && view.controls.del &&
                    view.controls.reorder && view.controls.menuRefresh);
        EXPECT_FALSE(view.Running(MainTimer::SearchIdle) || view.Running(MainTimer::SearchPoll));
    }
}

// The list as a window draws it from the changes alone: nicknames by position.
std::vector<std::string> Replay(const std::vector<ListChange>& changes, const BuddyRoster& roster,
                                std::vector<std::string> drawn = {}) {
    for (const ListChange& c : changes) {
        const auto at = [&](int position) { return drawn.begin() + (position - 1); };
        switch (c.kind) {
            case ListChange::Kind::Cleared:
                drawn.clear();
                break;
            case ListChange::Kind::Added:
                drawn.insert(at(c.position), roster.Rows()[std::size_t(c.row - 1)].nick);
                break;
            case ListChange::Kind::Removed:
                drawn.erase(at(c.position));
                break;
            case ListChange::Kind::Moved: {
                const std::string nick = *at(c.from);
                drawn.erase(at(c.from));
                drawn.insert(at(c.position), nick);
                break;
            }
            case ListChange::Kind::Order: {
                std::vector<std::string> now;
                for (int was : c.was) now.push_back(drawn[std::size_t(was - 1)]);
                drawn = now;
                break;
            }
            case ListChange::Kind::Cell:
                // Where the change says the row is drawn, the row is.
                EXPECT_EQ(*at(c.position), roster.Rows()[std::size_t(c.row - 1)].nick);
                break;
            case ListChange::Kind::Columns:
                break;
        }
    }
    return drawn;
}

// Sorted and filtered, the search's answers and a single refresh still fill the rows of the
// service's list they were asked for, and the changes say where those rows are drawn.
TEST(MainSessionSearch, answersFillTheServicesRowsWhileTheViewIsSortedAndFiltered) {
    for (int sort : {1, 2}) {
        SCOPED_TRACE(sort);
        ScopedRegistry registry;
        LocalServer server(/*demo=*/true);
        ASSERT_TRUE(server.Ok());
        SaveSettingString("ServerHost", "127.0.0.1");
        SaveSettingLong("ServerPort", server.BasePort());
        SaveSettingLong("BuddySort", sort);
        SaveSettingLong("BuddyHideOffline", 1);
        FakeMainView view;
        MainSession session(view);
        const BuddyRoster& roster = session.Buddies();
        const auto tick = [&] {
            view.RunLater();
            if (view.Running(MainTimer::Receive)) session.Pump();
            if (view.Running(MainTimer::SearchPoll)) session.Buddies().PumpSearch();
        };
        session.LogOn("demo", "demo");
        ASSERT_TRUE(
            PumpUntil([&] { return view.status.starts_with("Search completed in "); }, tick));

        const auto placeOf = [&](const std::string& nick) {
            const auto row = std::ranges::find(roster.Rows(), nick, &BuddyRow::nick);
            return row == roster.Rows().end() ? std::string("(none)") : row->locations[0];
        };
        for (const auto& [nick, place] : kDemoPlaces) EXPECT_EQ(placeOf(nick), place) << nick;
        std::vector<std::string> drawn;
        for (int row : roster.Order().Drawn())
            drawn.push_back(roster.Rows()[std::size_t(row - 1)].nick);
        EXPECT_EQ(Replay(view.changes, roster), drawn);
        BuddyOrder fresh;
        fresh.Reset(roster.Rows(), roster.Order().Rule());
        EXPECT_EQ(roster.Order().Drawn(), fresh.Drawn());
        EXPECT_TRUE(roster.Order().Hidden(roster.Rows(), 8));  // guest, not logged in
        if (sort != 2) continue;
        EXPECT_EQ(drawn, (std::vector<std::string>{"dozer", "echo", "guest", "marla", "rover",
                                                   "shade", "tanker", "warden"}));

        // tanker is row 5 of the service's list and drawn elsewhere: its answer lands in row 5.
        const std::size_t mark = view.changes.size();
        ASSERT_EQ(roster.Order().Position(5), 7);
        session.Buddies().RefreshRow(5);
        ASSERT_TRUE(PumpUntil([&] { return view.changes.size() > mark; }, tick));
        const ListChange& filled = view.changes.back();
        EXPECT_EQ(filled.kind, ListChange::Kind::Cell);
        EXPECT_EQ(filled.row, 5);
        EXPECT_EQ(filled.position, roster.Order().Position(5));
        for (const auto& [nick, place] : kDemoPlaces) EXPECT_EQ(placeOf(nick), place) << nick;
    }
}

TEST(MainSessionSearch, completedTextIsInHundredthsWithoutTrailingZeros) {
    struct Row {
        double start, end;
        const char* text;
    };
    for (const Row& r : {Row{10, 12.35, "Search completed in 2,35 seconds"},
                         Row{10, 12.5, "Search completed in 2,5 seconds"},
                         Row{10, 13, "Search completed in 3 seconds"},
                         Row{86399.5, 0.75, "Search completed in 1,25 seconds"},
                         Row{0, 0.004, "Search completed in 0 seconds"}}) {
        EXPECT_EQ(SearchCompletedText(r.start, r.end, ","), r.text);
    }
}

}  // namespace
}  // namespace vantor::test
