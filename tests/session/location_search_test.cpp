// SPDX-License-Identifier: MIT
// The location search on its own: a recording view, the bundled service as the peer.
#include "session/location_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/socket_layer.h"
#include "settings/settings_store.h"
#include "support/hanging_port.h"
#include "support/local_server.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

const std::optional<std::uint32_t> kLoopback = ResolveHost("127.0.0.1");

struct RecordingView : LocationView {
    LocationSearch* search = nullptr;
    std::vector<std::string> shown;  // "row column location"
    std::vector<SearchResult> ended;
    bool idleTimer = false;
    bool pollTimer = false;
    std::function<void()> onPoll;  // runs once, at the next poll tick
    std::function<void()> onShow;  // runs once, after the next location shown

    void ShowLocation(int row, int column, const std::string& location) override {
        shown.push_back(std::to_string(row) + " " + std::to_string(column) + " " + location);
        if (onShow) std::exchange(onShow, nullptr)();
    }
    void ShowProgress(int, int) override {}
    void SetIdleTimer(bool running) override { idleTimer = running; }
    void SetPollTimer(bool running) override { pollTimer = running; }
    // One tick of the poll timer, as the window runs it.
    void PollTick() {
        if (onPoll) std::exchange(onPoll, nullptr)();
        if (!pollTimer) return;
        search->Poll();
        if (WOLCons* sessions = search->Sessions())
            sessions->ForEach([](WOLCon& session) { session.PopulateBuff(); });
    }
    void SearchEnded(const SearchResult& result) override { ended.push_back(result); }
    void RowRefreshed(int, const std::string&) override {}
};

struct SearchFixture {
    ScopedRegistry registry;
    LocalServer server{/*demo=*/true};
    RecordingView view;
    std::shared_ptr<Callback> answers = std::make_shared<Callback>();
    LocationSearch search{view, answers};

    SearchFixture() {
        SaveSettingString("ServerHost", "127.0.0.1");
        view.search = &search;
        answers->SetHandler([this](const std::string& line, Delivery kind, const Param& param) {
            search.Answer(line, kind, param);
        });
    }
    std::size_t mostOpen = 0;  // the most sessions the search held at once

    bool PumpUntil(const std::function<bool()>& done) {
        return test::PumpUntil(done, [this] {
            if (WOLCons* sessions = search.Sessions())
                mostOpen = std::max(mostOpen, sessions->Count());
            view.PollTick();
        });
    }
    bool PumpUntilEnded() {
        return PumpUntil([this] { return !view.ended.empty(); });
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> shown = view.shown;
        std::sort(shown.begin(), shown.end());  // answers come in any order
        return shown;
    }
};

// The window may stop or replace the search from any of its call-outs; the old search must then
// neither send, count nor end.
TEST(LocationSearchCore, aSearchStoppedOrReplacedFromACallOutGoesNoFurther) {
    enum class Hook { CancelBetweenQueries, CancelOnFirstAnswer, RestartOnFirstAnswer };
    for (Hook hook :
         {Hook::CancelBetweenQueries, Hook::CancelOnFirstAnswer, Hook::RestartOnFirstAnswer}) {
        SCOPED_TRACE(static_cast<int>(hook));
        SearchFixture f;
        ASSERT_TRUE(f.server.Ok());
        const std::vector<std::int32_t> port{f.server.BasePort()};
        switch (hook) {
            case Hook::CancelBetweenQueries:
                f.view.onPoll = [&] { f.search.Cancel(); };
                break;
            case Hook::CancelOnFirstAnswer:
                f.view.onShow = [&] { f.search.Cancel(); };
                break;
            case Hook::RestartOnFirstAnswer:
                f.view.onShow = [&] { f.search.Start({"shade"}, port, kLoopback); };
                break;
        }
        f.search.Start({"tanker", "echo", "warden"}, port, kLoopback);
        if (hook == Hook::CancelBetweenQueries) f.view.PollTick();

        if (hook == Hook::RestartOnFirstAnswer) {
            ASSERT_TRUE(f.PumpUntilEnded());
            ASSERT_EQ(f.view.shown.size(), 2u);
            EXPECT_EQ(f.view.shown.back(), "1 1 Hiding");
            ASSERT_EQ(f.view.ended.size(), 1u);
            EXPECT_EQ(f.view.ended.front().expected, 1);
            EXPECT_EQ(f.view.ended.front().received, 1);
        } else {
            if (hook == Hook::CancelOnFirstAnswer) {
                ASSERT_TRUE(f.PumpUntil([&] { return !f.view.shown.empty(); }));
            }
            EXPECT_EQ(f.view.shown.size(), hook == Hook::CancelOnFirstAnswer ? 1u : 0u);
            EXPECT_EQ(f.search.Received(), static_cast<int>(f.view.shown.size()));
            EXPECT_TRUE(f.view.ended.empty());
            EXPECT_FALSE(f.view.idleTimer);
        }
        EXPECT_EQ(f.search.Sessions(), nullptr);
    }
}

// Twenty buddies on three columns: the first column's port accepts nothing, the second refuses,
// the third is the service. Start returns before anything is connected, the service's column
// fills, each refusal fails its own query only and the hanging column fails after its time-out.
TEST(LocationSearchCore, hangingAndRefusingColumnsFailOnlyTheirOwnCellsWhileTheRestFill) {
    SearchFixture f;
    ASSERT_TRUE(f.server.Ok());
    HangingPort hanging;
    ASSERT_TRUE(hanging.Hangs()) << "connection attempts to a full backlog do not hang here";
    const std::chrono::milliseconds timeout = ConnectTimeout();
    SetConnectTimeout(std::chrono::milliseconds(400));
    std::vector<std::string> nicks, places;
    for (int i = 0; i < 20; ++i) {
        nicks.push_back(i % 2 ? "echo" : "shade");
        places.push_back(std::to_string(i + 1) + (i % 2 ? " 3 Logged In" : " 3 Hiding"));
    }
    std::sort(places.begin(), places.end());
    const std::uint64_t connectsBefore = GetSocketCounters().connects;

    f.search.Start(nicks, {hanging.Port(), ClosedPort(), f.server.BasePort()}, kLoopback);
    EXPECT_TRUE(f.view.shown.empty());
    EXPECT_TRUE(f.view.ended.empty());
    EXPECT_TRUE(f.view.pollTimer);
    const bool ended = f.PumpUntilEnded();
    SetConnectTimeout(timeout);
    ASSERT_TRUE(ended);

    const SearchResult& result = f.view.ended.front();
    EXPECT_EQ(result.end, SearchResult::End::Completed);
    EXPECT_EQ(result.expected, 60);
    EXPECT_EQ(result.received, 20);
    EXPECT_EQ(result.failed, 40);
    EXPECT_EQ(f.Shown(), places);
    // Every refused query was tried: a refusal does not give up the column.
    EXPECT_EQ(GetSocketCounters().connects - connectsBefore, 60u);
    EXPECT_LE(f.mostOpen, static_cast<std::size_t>(LocationSearch::kMaxOpen));
    EXPECT_FALSE(f.view.pollTimer || f.view.idleTimer);
    EXPECT_EQ(f.search.Sessions(), nullptr);
}

// More queries than may be open at once wait their turn; the tags stay those of the whole search.
TEST(LocationSearchCore, aLongListKeepsAtMostTheLimitOpenAndAnswersEveryRow) {
    SearchFixture f;
    ASSERT_TRUE(f.server.Ok());
    const int rows = LocationSearch::kMaxOpen + 36;
    std::vector<std::string> nicks;
    for (int i = 0; i < rows; ++i) nicks.push_back(i == rows - 1 ? "tanker" : "echo");
    f.search.Start(nicks, {f.server.BasePort()}, kLoopback);
    ASSERT_TRUE(f.PumpUntilEnded());
    EXPECT_EQ(f.view.ended.front().received, rows);
    EXPECT_EQ(f.mostOpen, static_cast<std::size_t>(LocationSearch::kMaxOpen));
    EXPECT_NE(std::find(f.view.shown.begin(), f.view.shown.end(),
                        std::to_string(rows) + " 1 Game: ColdFront"),
              f.view.shown.end());
}

// A server that closes the connection after the query sends no answer on it: the query fails at
// once and the search ends, with no idle time-out (this view never runs one) and no poll left on.
TEST(LocationSearchCore, aConnectionClosedBeforeItsAnswerFailsItsQueryAtOnce) {
    SearchFixture f;
    ASSERT_TRUE(f.server.Ok());
    LoopbackPeer closing;
    ASSERT_TRUE(closing.Listening());
    f.search.Start({"echo", "shade"}, {f.server.BasePort(), closing.Port()}, kLoopback);
    std::vector<std::string> asked;
    for (int accepted = 0; accepted < 2; ++accepted) {
        ASSERT_TRUE(f.PumpUntil([&] { return closing.Accept(std::chrono::milliseconds(0)); }));
        ASSERT_TRUE(f.PumpUntil([&] { return !closing.Lines().empty(); }));
        asked.push_back(closing.Lines().front());
        closing.CloseClient();
    }
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::string>{"FINDUSEREX echo 0", "FINDUSEREX shade 0"}));
    ASSERT_TRUE(f.PumpUntilEnded());
    const SearchResult& result = f.view.ended.front();
    EXPECT_EQ(result.end, SearchResult::End::Completed);
    EXPECT_EQ(result.received, 2);
    EXPECT_EQ(result.failed, 2);
    EXPECT_EQ(f.Shown(), (std::vector<std::string>{"1 1 Logged In", "2 1 Hiding"}));
    EXPECT_FALSE(f.view.pollTimer || f.view.idleTimer);
    EXPECT_EQ(f.search.Sessions(), nullptr);
}

TEST(LocationSearchCore, tenSearchesLeaveNoDescriptorBehind) {
    SearchFixture f;
    ASSERT_TRUE(f.server.Ok());
    const int refusing = ClosedPort();
    const int before = OpenDescriptors();
    for (int i = 0; i < 10; ++i) {
        f.view.ended.clear();
        f.search.Start({"echo", "shade", "tanker"}, {f.server.BasePort(), refusing}, kLoopback);
        // Every other search is stopped half-way, with connects still under way.
        if (i % 2) {
            f.view.PollTick();
            f.search.Cancel();
            continue;
        }
        ASSERT_TRUE(f.PumpUntilEnded());
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace vantor::test
