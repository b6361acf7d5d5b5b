// SPDX-License-Identifier: MIT
// The cost of the conversation logs. Targets: logging adds under 5 % to a lobby flood, and the
// end of a 100 MB log is read in under 50 ms.
//   BM_LobbyFlood/log:0|1  10,000 lobby lines handed to an open lobby window's handler, shown
//                          as in the lobby benchmark, without and with the lobby's log
//   BM_LogAppend           one entry appended and flushed, alone
//   BM_TailOf100MBLog      the last 20 entries of a 100 MB log, as a page window opening reads
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chat/chat_ui.h"
#include "session/conversation_log.h"
#include "support/fake_settings.h"

namespace {

using namespace vantor;

void Feed(ChatUI& chat, const std::string& line, int param) {
    chat.Core().ChatCB_Callback(line, Delivery::Intercepted, Param{param});
}

void BM_LobbyFlood(benchmark::State& state) {
    test::FakeSettings settings;
    settings.numbers[std::string(setting::kLogConversations.name)] = std::int32_t(state.range(0));
    SetSettingsSource(&settings);
    std::vector<std::string> lines;
    for (int i = 0; i < 10000; ++i) {
        lines.push_back(":nick" + std::to_string(i % 100) + "!u@h PRIVMSG #Lob_12_0 :line " +
                        std::to_string(i) + " anyone up for a game on the islands map?");
    }
    {
        ChatUI chat;
        chat.SetUser("bob");
        chat.show();
        Feed(chat, ":s 327 bob #Lob_12_0 40 0 1", Lobby::kList);
        Feed(chat, ":s 323 bob :End", Lobby::kList);
        Feed(chat, ":bob!u@h JOIN :0,0 #Lob_12_0", Lobby::kJoined);
        QApplication::processEvents();
        for (auto _ : state) {
            for (const auto& line : lines) Feed(chat, line, Lobby::kMessage);
            chat.CatchUpHistory();
        }
        state.counters["us/line"] =
            benchmark::Counter(double(lines.size()) * double(state.iterations()),
                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }
    SetSettingsSource(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(LogRoot(), ec);
}
BENCHMARK(BM_LobbyFlood)
    ->ArgName("log")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_LogAppend(benchmark::State& state) {
    ConversationLog log(LogPath(LogRoot(), "bob", "#Lob_12_0"));
    const std::string text = "nick7: anyone up for a game on the islands map?";
    for (auto _ : state) benchmark::DoNotOptimize(log.Append(text));
    std::error_code ec;
    std::filesystem::remove_all(LogRoot(), ec);
}
BENCHMARK(BM_LogAppend)->Unit(benchmark::kMicrosecond);

void BM_TailOf100MBLog(benchmark::State& state) {
    const auto file = LogRoot() / "big.log";
    std::filesystem::create_directories(file.parent_path());
    {
        std::string block;
        for (int i = 0; block.size() < (1 << 20); ++i) {
            block += "[2024-03-05 09:07:02] bob: line " + std::to_string(i) +
                     " of a long conversation kept for months\n";
        }
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (std::size_t written = 0; written < 100u << 20; written += block.size())
            out.write(block.data(), std::streamsize(block.size()));
    }
    state.counters["MB"] = double(std::filesystem::file_size(file)) / (1 << 20);
    for (auto _ : state) {
        const auto tail = ReadLogTail(file, 20);
        if (tail.size() != 20) state.SkipWithError("short tail");
        benchmark::DoNotOptimize(tail.data());
    }
    std::error_code ec;
    std::filesystem::remove_all(LogRoot(), ec);
}
BENCHMARK(BM_TailOf100MBLog)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
