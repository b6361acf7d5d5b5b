// SPDX-License-Identifier: MIT
// The main window's buddy list of 1,000 buddies, drawn by the window's own BuddyTree into a shown
// tree of the window's size. Targets: a re-sort after a search under 20 ms, filling the rows with
// their icons under 100 ms.
//   BM_DrawOrder            the core's order of 1,000 rows of mixed locations, from scratch.
//   BM_ResortAfterSearch    the search has filled every row; the view goes online first (or by
//                           name, every other run): the core's new order and the tree redrawn in
//                           it, painted.
//   BM_SearchAnswersSorted  the 1,000 answers of a search arriving into a list drawn online
//                           first, each row moved to its place as its answer comes; painted once.
//   BM_FillWithIcons/1      a list of 1,000 filled as the window fills it: a row at a time, the
//                           pending events run after the first and then once a frame, and the
//                           list painted at the end; icons on. /0 without icons. "event passes":
//                           how often the events ran. (Run after every row, as the list once did,
//                           the filling took over two seconds: each run lays out and paints the
//                           whole list.)
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "app/buddy_tree.h"
#include "resources/art.h"
#include "session/buddy_tip.h"
#include "support/fake_settings.h"

namespace {

using namespace vantor;

constexpr int kBuddies = 1000;
const char* const kPlaces[] = {"Not Logged In",        "Hiding",  "Logged In",
                               "Chat Room: Iron Hand", "Game: X", "Not Logged In",
                               "Not Logged In",        "Unknown"};

struct Table : BuddyTable {
    std::vector<BuddyRow> rows;
    std::vector<std::vector<std::int64_t>> times;
    BuddyOrder order;
    ServerMode Mode() const override { return ServerMode::OneServer; }
    const std::vector<BuddyRow>& Rows() const override { return rows; }
    const BuddyOrder& Order() const override { return order; }
    int DecidingColumn() const override { return 1; }
    const std::vector<std::int64_t>& LookedUp(int row) const override {
        return times[std::size_t(row - 1)];
    }
    std::int64_t WallNow() const override { return 0; }
};

std::string Nick(int i) {
    // Not in the order of the names, so that by name moves most rows.
    return "bud" + std::to_string((i * 7919) % kBuddies);
}

// A shown list as the main window has it.
struct Window {
    test::FakeSettings settings;
    Table table;
    QTreeWidget list;
    BuddyTree tree{list, table};

    explicit Window(bool icons) {
        settings.numbers["BuddyIcons"] = icons ? 1 : 0;
        SetSettingsSource(&settings);
        list.setRootIsDecorated(false);
        list.setUniformRowHeights(true);
        list.setIconSize(QSize(art::kStatusIconSide, art::kStatusIconSide));
        list.setColumnCount(2);
        list.resize(500, 400);
        list.show();
        QApplication::processEvents();
    }
    ~Window() { SetSettingsSource(nullptr); }

    void Fill(bool runEvents) {
        table.rows.clear();
        table.times.clear();
        table.order.Reset(table.rows, table.order.Rule());
        tree.Show({.kind = ListChange::Kind::Cleared});
        tree.Show({.kind = ListChange::Kind::Columns});
        int passes = 0;
        for (int i = 0; i < kBuddies; ++i) {
            table.rows.push_back({Nick(i), {"Unknown"}});
            table.times.emplace_back(1, kNever);
            const int position = table.order.Added(table.rows);
            tree.Show({.kind = ListChange::Kind::Added,
                       .row = i + 1,
                       .filling = true,
                       .position = position});
            if (runEvents && tree.EventsDue()) {
                QApplication::processEvents();
                ++passes;
            }
        }
        eventPasses = passes;
    }
    int eventPasses = 0;
    void Answer(int row, const char* place) {
        table.rows[std::size_t(row - 1)].locations[0] = place;
        const auto [from, to] = table.order.Changed(table.rows, row);
        if (from != to) {
            tree.Show({.kind = ListChange::Kind::Moved, .row = row, .position = to, .from = from});
        }
        tree.Show({.kind = ListChange::Kind::Cell, .row = row, .column = 1, .position = to});
    }
    void Rule(BuddySort sort) {
        std::vector<int> was = table.order.Reset(table.rows, {.sort = sort});
        tree.Show({.kind = ListChange::Kind::Order, .was = std::move(was)});
    }
};

void BM_DrawOrder(benchmark::State& state) {
    std::vector<BuddyRow> rows;
    for (int i = 0; i < kBuddies; ++i) rows.push_back({Nick(i), {kPlaces[i % 8]}});
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawOrder(rows, {.sort = BuddySort::OnlineFirst}));
        benchmark::DoNotOptimize(DrawOrder(rows, {.sort = BuddySort::ByName}));
    }
    state.counters["orders"] = 2;
}
BENCHMARK(BM_DrawOrder)->Unit(benchmark::kMillisecond);

void BM_ResortAfterSearch(benchmark::State& state) {
    Window w(true);
    w.Fill(false);
    for (int row = 1; row <= kBuddies; ++row) w.Answer(row, kPlaces[row % 8]);
    QApplication::processEvents();
    bool byName = false;
    for (auto _ : state) {
        state.PauseTiming();
        w.Rule(BuddySort::Service);
        QApplication::processEvents();
        byName = !byName;
        state.ResumeTiming();
        w.Rule(byName ? BuddySort::ByName : BuddySort::OnlineFirst);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ResortAfterSearch)->Unit(benchmark::kMillisecond);

void BM_SearchAnswersSorted(benchmark::State& state) {
    Window w(true);
    w.Fill(false);
    w.Rule(BuddySort::OnlineFirst);
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int row = 1; row <= kBuddies; ++row) w.Answer(row, kPlaces[(row + round) % 8]);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SearchAnswersSorted)->Unit(benchmark::kMillisecond);

void BM_FillWithIcons(benchmark::State& state) {
    Window w(state.range(0) == 1);
    for (auto _ : state) {
        w.Fill(true);
        QApplication::processEvents();  // the last rows painted
    }
    state.counters["event passes"] = w.eventPasses;
}
BENCHMARK(BM_FillWithIcons)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
