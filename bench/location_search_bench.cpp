// SPDX-License-Identifier: MIT
// A location search of every buddy on three server columns against the bundled local service,
// driven as the main window drives it. Reports the time to completion, the longest stretch the
// caller's event loop could not run (the stall), and the most search sockets open at once.
// Targets: 100 x 3 under 1 s; with one column hanging, the longest stall under 50 ms;
// 1,000 x 3 under 10 s with at most 64 search sockets open.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/socket_layer.h"
#include "session/location_search.h"
#include "support/fake_settings.h"
#include "support/hanging_port.h"
#include "support/local_server.h"

namespace {

using namespace vantor;
using Clock = std::chrono::steady_clock;

// This thread's processor time: on a loaded machine the wall-clock stall also counts the time
// the scheduler gave to other processes.
Clock::duration ThreadCpu() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

// Stands in for the main window: every return to the "event loop" is a point where events run.
struct BenchView : LocationView {
    LocationSearch* search = nullptr;
    bool ended = false;
    SearchResult result;
    Clock::time_point last = Clock::now();
    Clock::duration longest{};
    Clock::duration lastCpu = ThreadCpu();
    Clock::duration longestCpu{};
    std::size_t mostOpen = 0;

    void EventLoopRuns() {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, now - last);
        last = now;
        const Clock::duration cpu = ThreadCpu();
        longestCpu = std::max(longestCpu, cpu - lastCpu);
        lastCpu = cpu;
    }
    void Pass() {
        if (WOLCons* sessions = search->Sessions()) {
            mostOpen = std::max(mostOpen, sessions->Count());
            sessions->ForEach([](WOLCon& session) { session.PopulateBuff(); });
        }
    }
    void ShowLocation(int, int, const std::string&) override {}
    void ShowProgress(int, int) override {}
    void SetIdleTimer(bool) override {}
    void SetPollTimer(bool) override {}
    void SearchEnded(const SearchResult& r) override {
        ended = true;
        result = r;
    }
    void RowRefreshed(int, const std::string&) override {}
};

void BM_LocationSearch(benchmark::State& state) {
    const int buddies = static_cast<int>(state.range(0));
    const bool hang = state.range(1) != 0;
    test::LocalServer server(/*demo=*/true);
    if (!server.Ok()) {
        state.SkipWithError("no local service");
        return;
    }
    test::FakeSettings settings;
    SetSettingsSource(&settings);
    test::HangingPort hanging;
    std::vector<std::string> nicks;
    for (int i = 0; i < buddies; ++i) nicks.push_back(i % 2 ? "echo" : "tanker");
    std::vector<std::int32_t> ports{server.BasePort(), server.BasePort() + 1,
                                    server.BasePort() + 2};
    if (hang) ports[0] = hanging.Port();

    double seconds = 0, stallMs = 0, stallCpuMs = 0, open = 0, failed = 0;
    for (auto _ : state) {
        BenchView view;
        auto answers = std::make_shared<Callback>();
        LocationSearch search(view, answers);
        view.search = &search;
        answers->SetHandler([&search](const std::string& line, Delivery kind, const Param& p) {
            search.Answer(line, kind, p);
        });
        const Clock::time_point start = Clock::now();
        view.last = start;
        view.lastCpu = ThreadCpu();
        search.Start(nicks, ports, htonl(INADDR_LOOPBACK));
        view.EventLoopRuns();
        while (!view.ended && Clock::now() - start < std::chrono::seconds(60)) {
            search.Poll();
            view.Pass();
            view.EventLoopRuns();
        }
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        stallMs = std::chrono::duration<double, std::milli>(view.longest).count();
        stallCpuMs = std::chrono::duration<double, std::milli>(view.longestCpu).count();
        open = static_cast<double>(view.mostOpen);
        failed = view.result.failed;
        if (!view.ended) state.SkipWithError("the search did not end");
    }
    SetSettingsSource(nullptr);
    state.counters["seconds"] = seconds;
    state.counters["longest_stall_ms"] = stallMs;
    state.counters["longest_stall_cpu_ms"] = stallCpuMs;
    state.counters["most_open"] = open;
    state.counters["failed"] = failed;
}
BENCHMARK(BM_LocationSearch)
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({1000, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
