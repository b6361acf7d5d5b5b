// SPDX-License-Identifier: MIT
// The location search on its own: a recording view, the bundled service as the peer.
#include "session/location_search.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_store.h"
#include "support/local_server.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

// A loopback port that refuses every connection while this lives: bound, never listening.
class RefusingPort {
public:
    RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof addr;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), size) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &size) == 0)
            port_ = ntohs(addr.sin_port);
    }
    ~RefusingPort() { ::close(fd_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int Port() const { return port_; }

private:
    int fd_;
    int port_ = 0;
};

struct RecordingView : LocationView {
    LocationSearch* search = nullptr;
    std::vector<std::string> shown;  // "row column location"
    std::vector<SearchResult> ended;
    bool idleTimer = false;
    std::function<void()> onEvents;  // runs once, in the next LetEventsRun
    std::function<void()> onShow;    // runs once, after the next location shown

    void ShowLocation(int row, int column, const std::string& location) override {
        shown.push_back(std::to_string(row) + " " + std::to_string(column) + " " + location);
        if (onShow) std::exchange(onShow, nullptr)();
    }
    void ShowProgress(int, int) override {}
    void SetIdleTimer(bool running) override { idleTimer = running; }
    void LetEventsRun() override {
        if (onEvents) std::exchange(onEvents, nullptr)();
    }
    void RunReceivePass() override {
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
    bool PumpUntil(const std::function<bool()>& done) {
        return test::PumpUntil(done, [this] { view.RunReceivePass(); });
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> shown = view.shown;
        std::sort(shown.begin(), shown.end());  // answers come in any order
        return shown;
    }
};

TEST(LocationSearchCore, aRefusingPortFailsItsWholeColumnWhileTheNextColumnAnswers) {
    SearchFixture f;
    ASSERT_TRUE(f.server.Ok());
    RefusingPort dead;
    ASSERT_NE(dead.Port(), 0);

    f.search.Start({"tanker", "shade", "echo"}, {dead.Port(), f.server.BasePort()});
    ASSERT_TRUE(f.PumpUntil([&] { return !f.view.ended.empty(); }));
    ASSERT_EQ(f.view.ended.size(), 1u);
    const SearchResult& result = f.view.ended.front();
    EXPECT_EQ(result.end, SearchResult::End::Completed);
    EXPECT_EQ(result.received, 3);
    EXPECT_EQ(result.failed, 3);
    EXPECT_EQ(result.expected, 6);
    EXPECT_EQ(f.Shown(),
              (std::vector<std::string>{"1 2 Game: ColdFront", "2 2 Hiding", "3 2 Logged In"}));
    EXPECT_EQ(f.search.Sessions(), nullptr);
    EXPECT_FALSE(f.view.idleTimer);
}

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
                f.view.onEvents = [&] { f.search.Cancel(); };
                break;
            case Hook::CancelOnFirstAnswer:
                f.view.onShow = [&] { f.search.Cancel(); };
                break;
            case Hook::RestartOnFirstAnswer:
                f.view.onShow = [&] { f.search.Start({"shade"}, port); };
                break;
        }
        f.search.Start({"tanker", "echo", "warden"}, port);

        if (hook == Hook::RestartOnFirstAnswer) {
            ASSERT_TRUE(f.PumpUntil([&] { return !f.view.ended.empty(); }));
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

}  // namespace
}  // namespace vantor::test
