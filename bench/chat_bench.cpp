// SPDX-License-Identifier: MIT
// A flood into an open lobby window: one receive pass worth of lobby messages (102,400 bytes,
// about 1,460 lines) into a shown window whose history is already at its cap, so every entry
// also trims. Target: a whole pass through a real session, shown and painted, in under 6 ms.
//   BM_FloodThroughHandler  the lines handed straight to the window's reply handler
//   BM_FloodThroughSession  the same bytes read from a socket by a real session in one pass that
//                           starts as a 200 ms tick's would (the box shown long ago), then the
//                           show and paint that follow it. Counters per pass, in the main
//                           thread's CPU time: us/line, the append (reading, parsing, entries,
//                           events), layout (bringing the box up to date) and paint; and how
//                           often events ran and lines were laid out.
//   BM_EventStep            one letting-through of pending events as an append does it when
//                           they are due, with nothing pending: times event steps/pass gives
//                           the share of event processing
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <time.h>
#include <QApplication>
#include <QTextBrowser>
#include <QThread>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chat/chat_ui.h"
#include "controls/history_view.h"
#include "loopback_listener.h"
#include "session/wolcon.h"
#include "support/fake_settings.h"

namespace {

using namespace vantor;

constexpr std::size_t kPassBytes = 102400;

// Lobby messages of 70 bytes with CR LF, some with an address or the own nickname.
std::vector<std::string> LobbyLines() {
    static const char* const kTexts[] = {
        "anyone up for tiberian sun?",  "gg all, that was close",
        "bob see www.example.org/maps", "lol",
        "need one more for 2v2",
    };
    std::vector<std::string> lines;
    std::size_t bytes = 0;
    for (int i = 0; bytes < kPassBytes; ++i) {
        std::string line =
            ":nick" + std::to_string(i % 100) + "!u@h PRIVMSG #Lob_12_0 :" + kTexts[i % 5];
        const std::size_t room = kPassBytes - bytes - 2;
        line.resize(std::min<std::size_t>(68, room), '.');
        bytes += line.size() + 2;
        lines.push_back(std::move(line));
    }
    return lines;
}

// Shows the window in a lobby with its history filled to the cap.
void EnterLobby(ChatUI& chat, const std::function<void(const std::string&, int)>& feed) {
    chat.SetUser("bob");
    chat.show();
    feed(":s 327 bob #Lob_12_0 40 0 1", Lobby::kList);
    feed(":s 323 bob :End", Lobby::kList);
    feed(":bob!u@h JOIN :0,0 #Lob_12_0", Lobby::kJoined);
    feed(":s 353 bob = #Lob_12_0 :bob @op ann carl dave", Lobby::kJoin);
    feed(":s 366 bob #Lob_12_0 :End", Lobby::kJoin);
    for (int i = 0; i < 200; ++i) {
        feed(":ann!u@h PRIVMSG #Lob_12_0 :warming the history up to its cap ........",
             Lobby::kMessage);
    }
    QApplication::processEvents();
}

double ThreadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void Report(benchmark::State& state, std::size_t lines) {
    const double total = double(lines) * double(state.iterations());
    state.counters["lines/pass"] = double(lines);
    state.counters["lines/s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
}

void BM_FloodThroughHandler(benchmark::State& state) {
    test::FakeSettings settings;
    SetSettingsSource(&settings);
    const auto lines = LobbyLines();
    {
        ChatUI chat;
        auto feed = [&](const std::string& line, int param) {
            chat.Core().ChatCB_Callback(line, Delivery::Intercepted, Param{param});
        };
        EnterLobby(chat, feed);
        for (auto _ : state) {
            for (const auto& line : lines) feed(line, Lobby::kMessage);
        }
        Report(state, lines.size());
    }
    SetSettingsSource(nullptr);
}
BENCHMARK(BM_FloodThroughHandler)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_FloodThroughSession(benchmark::State& state) {
    test::FakeSettings settings;
    SetSettingsSource(&settings);
    const auto lines = LobbyLines();
    std::string block;
    for (const auto& line : lines) block += line + "\r\n";

    bench::LoopbackListener listener;
    {
        WOLCon wol;
        if (!wol.connect(listener.Port())) {
            state.SkipWithError("connect failed");
            return;
        }
        const int server = listener.Accept();
        auto send = [&](const std::string& bytes) {
            for (std::size_t sent = 0; sent < bytes.size();) {
                const ssize_t n =
                    ::send(server, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) return;
                sent += std::size_t(n);
            }
            // Until the client has all of it; polled gently, the machine is shared.
            for (int queued = 1; queued > 0;) {
                ::ioctl(server, TIOCOUTQ, &queued);
                if (queued > 0) QThread::usleep(50);
            }
        };

        auto* chat = new ChatUI;
        chat->SetWOL(ChatLinkTo(wol));
        chat->SetUser("bob");
        chat->show();
        chat->ConnectChat();
        std::string setup =
            ":s 321 bob Channel :Users Name\r\n:s 327 bob #Lob_12_0 40 0 1\r\n"
            ":s 323 bob :End\r\n";
        send(setup);
        wol.PopulateBuff();
        setup =
            ":bob!u@h JOIN :0,0 #Lob_12_0\r\n:s 353 bob = #Lob_12_0 :bob @op ann\r\n"
            ":s 366 bob #Lob_12_0 :End\r\n";
        for (int i = 0; i < 200; ++i) {
            setup += ":ann!u@h PRIVMSG #Lob_12_0 :warming the history up to its cap ....\r\n";
        }
        send(setup);
        wol.PopulateBuff();

        auto* history = chat->findChild<HistoryView*>(QStringLiteral("ChatHistory"));
        chat->CatchUpHistory();
        const HistoryView::Work before = history->Done();
        double append = 0, layout = 0, paint = 0;
        for (auto _ : state) {
            state.PauseTiming();
            send(block);
            QThread::msleep(41);  // the box was shown long before the tick, as in a session
            state.ResumeTiming();
            const double t0 = ThreadCpuMs();
            benchmark::DoNotOptimize(wol.PopulateBuff());
            const double t1 = ThreadCpuMs();
            chat->CatchUpHistory();
            const double t2 = ThreadCpuMs();
            history->viewport()->repaint();
            const double t3 = ThreadCpuMs();
            append += t1 - t0;
            layout += t2 - t1;
            paint += t3 - t2;
        }
        const HistoryView::Work& after = history->Done();
        const auto perPass = [&](double total) {
            return benchmark::Counter(total / double(state.iterations()));
        };
        state.counters["us/line"] =
            perPass((append + layout + paint) * 1000 / double(lines.size()));
        state.counters["append ms"] = perPass(append);
        state.counters["layout ms"] = perPass(layout);
        state.counters["paint ms"] = perPass(paint);
        state.counters["event steps"] = perPass(double(after.eventSteps - before.eventSteps));
        state.counters["shows"] = perPass(double(after.shows - before.shows));
        state.counters["laid out"] = perPass(double(after.linesLaidOut - before.linesLaidOut));
        Report(state, lines.size());
        chat->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ::close(server);
    }
    SetSettingsSource(nullptr);
}
BENCHMARK(BM_FloodThroughSession)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_EventStep(benchmark::State& state) {
    QWidget box;
    box.show();
    QApplication::processEvents();
    for (auto _ : state) {
        DisableControl(&box);
        EnableControl(&box);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_EventStep)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
