// SPDX-License-Identifier: MIT
// One receive pass over a full read (102,400 bytes) of typical lobby lines, routed to an
// intercept whose handler does nothing, with the debug log off. Target: at most 1 ms a pass.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <string>

#include "loopback_listener.h"
#include "platform/socket_layer.h"
#include "support/fake_settings.h"
#include "transport/wolcon2.h"

namespace {

using namespace vantor;

// 1463 lines of 70 bytes (the last one shorter) filling exactly one read.
std::string LobbyBlock(int* lines) {
    std::string block;
    *lines = 0;
    for (int i = 0; block.size() < static_cast<std::size_t>(kMaxReceive); ++i) {
        std::string line = ":nick" + std::to_string(i % 100) + "!u@h PRIVMSG #Lob_12_0 :";
        std::size_t room = static_cast<std::size_t>(kMaxReceive) - block.size();
        std::size_t textLen = std::min<std::size_t>(70, room) - line.size() - 2;
        line.append(textLen, 'a' + static_cast<char>(i % 26));
        block += line + "\r\n";
        ++*lines;
    }
    return block;
}

void BM_ReceivePassLobbyLines(benchmark::State& state) {
    test::FakeSettings host;
    SetSettingsSource(&host);

    bench::LoopbackListener listener;
    WOLCon2 con;
    if (!con.connect(listener.Port())) {
        state.SkipWithError("connect failed");
        return;
    }
    int server = listener.Accept();
    int big = bench::LoopbackListener::kBufferBytes;
    // The client's receive buffer must hold a whole block, or one pass could not read it all.
    sockaddr_in peerAddr{};
    socklen_t peerLen = sizeof peerAddr;
    ::getpeername(server, reinterpret_cast<sockaddr*>(&peerAddr), &peerLen);
    for (int fd = 3; fd < 1024; ++fd) {
        sockaddr_in own{};
        socklen_t ownLen = sizeof own;
        if (fd != server && ::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &ownLen) == 0 &&
            ownLen == peerLen && own.sin_port == peerAddr.sin_port &&
            own.sin_addr.s_addr == peerAddr.sin_addr.s_addr) {
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
        }
    }

    int lines = 0;
    const std::string block = LobbyBlock(&lines);
    long routed = 0;
    auto onLine = MakeCallback([&](const std::string&, Delivery, const Param&) { ++routed; });
    const InterceptRegistration intercept = con.RegisterIntercept("PRIVMSG", onLine);

    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t sent = 0; sent < block.size();) {
            ssize_t n = ::send(server, block.data() + sent, block.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        int queued = 0;  // wait (bounded) until the client has the whole block
        for (int spin = 0; spin < 1000000; ++spin) {
            ::ioctl(server, TIOCOUTQ, &queued);
            if (queued == 0) break;
        }
        if (queued != 0) {
            state.SkipWithError("the block did not reach the client");
            break;
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(con.PopulateBuff());
    }
    if (routed != static_cast<long>(lines) * static_cast<long>(state.iterations())) {
        state.SkipWithError("not every line was routed in its pass");
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(routed), benchmark::Counter::kIsRate);
    state.counters["s/line"] = benchmark::Counter(
        static_cast<double>(routed), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(static_cast<std::int64_t>(block.size()) * state.iterations());
    ::close(server);
    SetSettingsSource(nullptr);
}
BENCHMARK(BM_ReceivePassLobbyLines)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
