// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include <string>

#include "diagnostics/debug_log.h"
#include "diagnostics/debug_ui.h"

namespace {

// The common case in a release run: no dump file, no window.
void BM_DebugLogBothSinksOff(benchmark::State& state) {
    vantor::ShutDownDebug();
    const vantor::Tag tag = std::string("M");
    const std::string line = ":server 372 bob :- Message of the day";
    for (auto _ : state) {
        vantor::DebugLog(tag, line, vantor::kLogHandled);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DebugLogBothSinksOff);

// One entry appended to a window already holding the most text it keeps, so every append also
// drops the oldest lines. Shown, the append includes repainting the visible lines; hidden, it is
// the text work alone.
void BM_AppendToFullDebugWindow(benchmark::State& state) {
    vantor::DebugUI window;
    if (state.range(0) != 0) window.ShowWindow();
    const std::string filler = ":server 372 bob :- " + std::string(60, 'x');
    while (window.TextLength() < vantor::DebugUI::kMaxChars - 200)
        window.AddDebug(0, filler, vantor::kLogHandled);
    const vantor::Tag tag = std::string("M");
    for (auto _ : state) window.AddDebug(tag, filler, vantor::kLogHandled);
    state.counters["chars"] = static_cast<double>(window.TextLength());
}
BENCHMARK(BM_AppendToFullDebugWindow)
    ->ArgName("shown")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
