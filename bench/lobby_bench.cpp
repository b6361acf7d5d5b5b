// SPDX-License-Identifier: MIT
// A big lobby entered during a storm: one receive pass holding the JOIN's names reply of 2,000
// members in 20 "353" lines, then 500 joins and 500 parts, then a PING, read by a real session
// into a shown lobby window. Target: the longest stall of the event loop under 50 ms and under
// 100 ms of CPU in all.
//   BM_BigLobbyStorm/0  as above. Counters per storm, wall time: "pass ms" the receive pass (the
//                       PONG goes out at its end), "after ms" the events that follow it until the
//                       window is drawn (the lists brought up to date and painted), "stall ms"
//                       the longer of the two; "cpu ms" the main thread's CPU time of both;
//                       "members" listed after the storm (1,999 + 500 - 500 others and the user).
//   BM_BigLobbyStorm/1  the same storm into a lobby whose 2,000 members came one JOIN at a time
//                       in an earlier pass (a names reply of one line), so that a window that
//                       lists only a reply's first line shows the cost of the storm too.
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <time.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <string>

#include "chat/chat_ui.h"
#include "loopback_listener.h"
#include "session/wolcon.h"
#include "support/fake_settings.h"

namespace {

using namespace vantor;

constexpr int kMembers = 2000;
constexpr int kNamesPerLine = 100;
constexpr int kJoins = 500;
constexpr int kParts = 500;
constexpr const char* kLobby = "#Lob_12_0";

std::string Nick(const char* stem, int i) {
    std::string n = std::to_string(i);
    return stem + std::string(4 - std::min<std::size_t>(4, n.size()), '0') + n;
}

// The own JOIN and the names (the user among them, every 50th an operator): in 20 lines of the
// names reply, or as one line and JOINs of everyone else.
std::string EnterBlock(bool joinsOneByOne) {
    std::string block = ":bob!u@h JOIN :0,0 " + std::string(kLobby) + "\r\n";
    if (joinsOneByOne) {
        block += ":s 353 bob = " + std::string(kLobby) + " :bob\r\n";
        block += ":s 366 bob " + std::string(kLobby) + " :End of /NAMES list.\r\n";
        for (int i = 1; i < kMembers; ++i) {
            block += ":" + Nick("u", i) + "!u@h JOIN :0,0 " + kLobby + "\r\n";
        }
        return block + "PING :entered\r\n";
    }
    for (int line = 0; line < kMembers / kNamesPerLine; ++line) {
        block += ":s 353 bob = " + std::string(kLobby) + " :";
        for (int i = line * kNamesPerLine; i < (line + 1) * kNamesPerLine; ++i) {
            if (i > line * kNamesPerLine) block += ' ';
            block += i == 0 ? std::string("bob") : (i % 50 == 0 ? "@" : "") + Nick("u", i);
        }
        block += "\r\n";
    }
    block += ":s 366 bob " + std::string(kLobby) + " :End of /NAMES list.\r\n";
    return block;
}

// 500 joins and 500 parts of listed members, interleaved, then a PING.
std::string StormBlock() {
    std::string block;
    for (int i = 0; i < std::max(kJoins, kParts); ++i) {
        if (i < kJoins) block += ":" + Nick("j", i) + "!u@h JOIN :0,0 " + kLobby + "\r\n";
        if (i < kParts) block += ":" + Nick("u", i + 1) + "!u@h PART " + kLobby + "\r\n";
    }
    return block + "PING :storm\r\n";
}

double ThreadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void SendAll(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += std::size_t(n);
    }
    // Until the client has all of it; polled gently, the machine is shared.
    for (int queued = 1; queued > 0;) {
        ::ioctl(fd, TIOCOUTQ, &queued);
        if (queued > 0) QThread::usleep(50);
    }
}

void BM_BigLobbyStorm(benchmark::State& state) {
    test::FakeSettings settings;
    settings.numbers["LogConversations"] = 0;
    SetSettingsSource(&settings);
    const bool joinsOneByOne = state.range(0) == 1;
    const std::string enter = EnterBlock(joinsOneByOne);
    const std::string storm = joinsOneByOne ? StormBlock() : enter + StormBlock();
    bench::LoopbackListener listener;
    {
        WOLCon wol;
        if (!wol.connect(listener.Port())) {
            state.SkipWithError("connect failed");
            return;
        }
        const int server = listener.Accept();
        auto* chat = new ChatUI;
        chat->SetWOL(ChatLinkTo(wol));
        chat->SetUser("bob");
        chat->show();
        chat->ConnectChat();
        SendAll(server, ":s 321 bob Channel :Users Name\r\n:s 327 bob " + std::string(kLobby) +
                            " 40 0 1\r\n:s 323 bob :End\r\n");
        wol.PopulateBuff();
        auto* users = chat->findChild<QAbstractItemView*>(QStringLiteral("NickList"));

        double pass = 0, after = 0, stall = 0, cpu = 0;
        for (auto _ : state) {
            state.PauseTiming();
            // Out and back in: the list is empty and a JOIN waits for its names.
            chat->LinkDown();
            chat->LinkRestored();
            if (joinsOneByOne) {
                SendAll(server, enter);
                wol.PopulateBuff();
            }
            QApplication::processEvents();
            chat->CatchUpHistory();
            SendAll(server, storm);
            state.ResumeTiming();
            const double c0 = ThreadCpuMs();
            QElapsedTimer clock;
            clock.start();
            benchmark::DoNotOptimize(wol.PopulateBuff());
            const double t1 = double(clock.nsecsElapsed()) / 1e6;
            QApplication::processEvents();
            users->viewport()->repaint();
            const double t2 = double(clock.nsecsElapsed()) / 1e6;
            cpu += ThreadCpuMs() - c0;
            pass += t1;
            after += t2 - t1;
            stall += std::max(t1, t2 - t1);
        }
        const auto perStorm = [&](double total) {
            return benchmark::Counter(total / double(state.iterations()));
        };
        state.counters["pass ms"] = perStorm(pass);
        state.counters["after ms"] = perStorm(after);
        state.counters["stall ms"] = perStorm(stall);
        state.counters["cpu ms"] = perStorm(cpu);
        state.counters["members"] = double(users->model()->rowCount());
        // The last of the storm is listed, the first part is not: all of it was read.
        const auto listed = [&](int row, const char* nick) {
            return users->model()->index(row, 0).data().toString() == QLatin1String(nick);
        };
        state.counters["storm read"] =
            listed(users->model()->rowCount() - 1, "j0499") && !chat->Core().FindMember("u0001");
        chat->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ::close(server);
    }
    SetSettingsSource(nullptr);
}
BENCHMARK(BM_BigLobbyStorm)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

}  // namespace
