// SPDX-License-Identifier: MIT
// The main session's location search against the bundled service and its demo users.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "main_session_fixture.h"
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
