// SPDX-License-Identifier: MIT
#include "session/buddy_order.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vantor {
namespace {

// "nick=location" per row, one location column; "nick=a|b|c" for three.
std::vector<BuddyRow> Rows(const std::vector<std::string>& cells) {
    std::vector<BuddyRow> rows;
    for (const std::string& cell : cells) {
        const auto eq = cell.find('=');
        BuddyRow row{cell.substr(0, eq), {}};
        std::string rest = cell.substr(eq + 1);
        for (std::size_t bar; (bar = rest.find('|')) != std::string::npos;) {
            row.locations.push_back(rest.substr(0, bar));
            rest = rest.substr(bar + 1);
        }
        row.locations.push_back(rest);
        rows.push_back(row);
    }
    return rows;
}

std::string Nicks(const std::vector<BuddyRow>& rows, const std::vector<int>& order) {
    std::string out;
    for (int row : order) out += (out.empty() ? "" : " ") + rows[std::size_t(row - 1)].nick;
    return out;
}

TEST(BuddyStatus, everyTextTheSearchWritesHasItsKind) {
    const struct {
        const char* location;
        BuddyStatus status;
        int lobby;
    } cases[] = {
        {"Not Logged In", BuddyStatus::NotLoggedIn, -1},
        {"Hiding", BuddyStatus::Hiding, -1},
        {"Logged In", BuddyStatus::LoggedIn, -1},
        {"Chat Room: Iron Hand", BuddyStatus::ChatRoom, 3},
        {"Chat Room: Crimson Barracks_2", BuddyStatus::ChatRoom, 9},
        {"Chat Room: Somewhere Else", BuddyStatus::ChatRoom, -1},
        {"Chat Room", BuddyStatus::ChatRoom, -1},
        {"Game: MyGame", BuddyStatus::Game, -1},
        {"Game: ", BuddyStatus::Game, -1},
        {"Unknown", BuddyStatus::Unknown, -1},
        {"Unrecognised location", BuddyStatus::Unknown, -1},
        {"", BuddyStatus::Unknown, -1},
        {"Chat Rooms", BuddyStatus::Unknown, -1},
        {"logged in", BuddyStatus::Unknown, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StatusOf(c.location), c.status) << c.location;
        EXPECT_EQ(LobbyOf(c.location), c.lobby) << c.location;
    }
}

TEST(BuddyOrder, drawOrderSortsFiltersAndKeepsTiesInTheServicesOrder) {
    const std::vector<BuddyRow> mixed =
        Rows({"zed=Not Logged In", "Amy=Game: Red", "bob=Hiding", "carl=Unknown",
              "dora=Chat Room: Iron Hand", "al=Not Logged In", "Bea=Logged In", "amy=Logged In"});
    const std::vector<BuddyRow> servers =
        Rows({"ann=Logged In|Not Logged In|Not Logged In", "ben=Not Logged In|Logged In|Hiding",
              "cy=Not Logged In|Not Logged In|Not Logged In", "di=Hiding|Game: G|Not Logged In"});
    const struct {
        const char* what;
        const std::vector<BuddyRow>& rows;
        ViewRule rule;
        const char* drawn;
    } cases[] = {
        {"service", mixed, {}, "zed Amy bob carl dora al Bea amy"},
        {"online first",
         mixed,
         {.sort = BuddySort::OnlineFirst},
         "Amy dora Bea amy bob carl zed al"},
        {"by name, any case, ties by row",
         mixed,
         {.sort = BuddySort::ByName},
         "al Amy amy Bea bob carl dora zed"},
        {"service, hidden", mixed, {.hideOffline = true}, "Amy bob carl dora Bea amy"},
        {"online first, hidden",
         mixed,
         {.sort = BuddySort::OnlineFirst, .hideOffline = true},
         "Amy dora Bea amy bob carl"},
        {"three servers, first column",
         servers,
         {.sort = BuddySort::OnlineFirst, .column = 1},
         "ann di ben cy"},
        {"three servers, second column",
         servers,
         {.sort = BuddySort::OnlineFirst, .column = 2},
         "ben di ann cy"},
        {"three servers, third column",
         servers,
         {.sort = BuddySort::OnlineFirst, .column = 3},
         "ben ann cy di"},
        // Logged in on any server is not hidden.
        {"three servers, hidden", servers, {.hideOffline = true, .column = 2}, "ann ben di"},
        {"empty", {}, {.sort = BuddySort::ByName}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Nicks(c.rows, DrawOrder(c.rows, c.rule)), c.drawn) << c.what;
}

// Whatever happens to the rows one at a time, the order kept is the one drawn from scratch, and
// positions and rows map to each other.
TEST(BuddyOrder, changesOneAtATimeGiveTheOrderASortFromScratchGives) {
    const std::vector<std::string> places = {"Not Logged In",        "Hiding",  "Logged In",
                                             "Chat Room: Iron Hand", "Game: X", "Unknown"};
    std::mt19937 random(7);
    for (BuddySort sort : {BuddySort::Service, BuddySort::OnlineFirst, BuddySort::ByName}) {
        SCOPED_TRACE(int(sort));
        std::vector<BuddyRow> rows;
        BuddyOrder order;
        order.Reset(rows, {.sort = sort});
        for (int step = 0; step < 400; ++step) {
            const int what = int(random() % 4);
            if (what == 0 || rows.empty()) {
                rows.push_back({"n" + std::to_string(random() % 50), {"Unknown"}});
                const int position = order.Added(rows);
                EXPECT_EQ(order.RowAt(position), int(rows.size()));
            } else if (what == 1 && rows.size() > 3) {
                const int row = int(random() % rows.size()) + 1;
                order.Removed(row);
                rows.erase(rows.begin() + (row - 1));
            } else {
                const int row = int(random() % rows.size()) + 1;
                rows[std::size_t(row - 1)].locations[0] = places[random() % places.size()];
                const auto [from, to] = order.Changed(rows, row);
                EXPECT_EQ(order.Position(row), to);
                EXPECT_GT(from, 0);
            }
            BuddyOrder fresh;
            fresh.Reset(rows, {.sort = sort});
            ASSERT_EQ(order.Drawn(), fresh.Drawn()) << "step " << step;
            for (int p = 1; p <= int(rows.size()); ++p)
                ASSERT_EQ(order.Position(order.RowAt(p)), p);
        }
    }
}

TEST(BuddyOrder, aNewRuleSaysWhereEachRowWasDrawn) {
    const std::vector<BuddyRow> rows = Rows({"cy=Logged In", "al=Not Logged In", "bo=Hiding"});
    BuddyOrder order;
    EXPECT_EQ(order.Reset(rows, {}), (std::vector<int>{0, 0, 0}));  // nothing drawn before
    EXPECT_EQ(order.Reset(rows, {.sort = BuddySort::ByName}), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(order.Reset(rows, {.sort = BuddySort::OnlineFirst, .hideOffline = true}),
              (std::vector<int>{3, 2, 1}));
    // Hidden rows are drawn, where the order puts them, but not shown.
    EXPECT_EQ(Nicks(rows, order.Drawn()), "cy bo al");
    EXPECT_TRUE(order.Hidden(rows, 2));
    EXPECT_FALSE(order.Hidden(rows, 3));
}

TEST(BuddyOrder, typedLettersFindTheFirstShownNicknameInDrawnOrder) {
    const std::vector<BuddyRow> rows =
        Rows({"Carol=Logged In", "cathy=Not Logged In", "al=Hiding", "CAT=Logged In"});
    BuddyOrder order;
    order.Reset(rows, {.sort = BuddySort::ByName, .hideOffline = true});
    const struct {
        const char* typed;
        int row;
    } cases[] = {{"c", 1}, {"ca", 1}, {"CAT", 4}, {"cath", 0}, {"A", 3}, {"", 0}, {"x", 0}};
    for (const auto& c : cases) EXPECT_EQ(order.FirstStartingWith(rows, c.typed), c.row) << c.typed;
    order.Reset(rows, {.sort = BuddySort::ByName});
    EXPECT_EQ(order.FirstStartingWith(rows, "cat"), 4);   // "CAT" before "cathy" by name
    EXPECT_EQ(order.FirstStartingWith(rows, "cath"), 2);  // shown again
}

}  // namespace
}  // namespace vantor
