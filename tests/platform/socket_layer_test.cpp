// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/socket_layer.h"
#include "support/loopback_peer.h"
#include "support/pump.h"

namespace vantor {
namespace {

using test::ClosedPort;
using test::LoopbackPeer;
using test::PumpUntil;
using test::SilentListener;

struct Socket {
    SocketHandle h = CreateSocket(kAfInet, kSockStream, 0);
    ~Socket() { CloseSocket(h); }
};

TEST(SocketLayer, dottedAddressNeedsNoLookupUnknownHostNoConnect) {
    Socket s;
    ASSERT_GT(s.h, 0);
    SocketCounters before = GetSocketCounters();
    const auto address = ResolveHost("127.0.0.1");
    ASSERT_TRUE(address);
    EXPECT_EQ(std::memcmp(&*address, "\x7f\0\0\x01", 4), 0);  // in network byte order
    EXPECT_EQ(GetSocketCounters().lookups, before.lookups);

    EXPECT_EQ(ConnectSocket(s.h, "no-such-host.invalid", 7000), -1);
    EXPECT_EQ(GetSocketCounters().lookups, before.lookups + 1);
    EXPECT_EQ(ConnectSocket(s.h, "", 7000), -1);
    EXPECT_EQ(ConnectSocket(s.h, "127.0.0.1", 65536), -1);
    EXPECT_EQ(GetSocketCounters().connects, before.connects);
}

TEST(SocketLayer, portConversionWrapsAndOverflows) {
    const std::pair<int, int> cases[] = {
        {0, 0}, {7000, 7000}, {32767, 32767}, {32768, -32768}, {65535, -1}};
    for (auto [port, wire] : cases) EXPECT_EQ(PortToShort(port), wire) << port;
    EXPECT_FALSE(PortToShort(65536) || PortToShort(-1));
}

TEST(SocketLayer, connectsSendsAndReceivesOverLoopback) {
    LoopbackPeer peer;
    Socket s;
    // Ephemeral ports lie above 32767: they must survive the 16-bit conversion.
    ASSERT_EQ(ConnectSocket(s.h, "127.0.0.1", peer.Port()), 0);
    ASSERT_TRUE(peer.Accept());

    std::string text;
    EXPECT_EQ(ReceiveText(s.h, text), -1);  // nothing to read yet
    EXPECT_EQ(SendText(s.h, ""), -1);
    EXPECT_EQ(SendText(s.h, "NICK bob\r\n"), 10);
    ASSERT_TRUE(peer.WaitForLines(1));
    EXPECT_EQ(peer.Lines(), std::vector<std::string>{"NICK bob"});  // the empty send added nothing

    peer.Send(std::string("a\0\xff", 3));
    int got = -1;
    ASSERT_TRUE(PumpUntil([&] { return got > 0; }, [&] { got = ReceiveText(s.h, text); }));
    EXPECT_EQ(got, 3);
    EXPECT_EQ(text, std::string("a\0\xff", 3));

    peer.CloseClient();
    ASSERT_TRUE(PumpUntil([&] { return IsReadable(s.h); }, {}));
    EXPECT_EQ(ReceiveText(s.h, text), 0);
    EXPECT_EQ(text.size(), 3u);  // nothing appended for a closed peer
    // After the peer is gone a send fails quietly instead of killing the process with SIGPIPE.
    PumpUntil([&] { return SendText(s.h, "x\r\n") == -1; }, {});
}

TEST(SocketLayer, connectFailsOnAClosedPortAndGivesUpWhenAListenerNeverAnswers) {
    Socket s;
    EXPECT_EQ(ConnectSocket(s.h, "127.0.0.1", ClosedPort()), -1);

    // A listener whose accept queue is full drops further handshakes silently.
    SilentListener listener;
    ASSERT_NE(listener.Port(), 0);

    auto old = ConnectTimeout();
    SetConnectTimeout(std::chrono::milliseconds(150));
    std::vector<SocketHandle> clients;
    bool gaveUp = false;
    for (int i = 0; i < 8 && !gaveUp; ++i) {
        SocketHandle c = CreateSocket(kAfInet, kSockStream, 0);
        clients.push_back(c);
        gaveUp = ConnectSocket(c, "127.0.0.1", listener.Port()) == -1;
    }
    SetConnectTimeout(old);
    for (SocketHandle c : clients) CloseSocket(c);
    EXPECT_TRUE(gaveUp);
}

TEST(SocketLayer, handleZeroIsNeverStdin) {
#ifdef _WIN32
    GTEST_SKIP() << "descriptor 0 is stdin only on POSIX; Winsock handles are never 0";
#else
    // With stdin closed the next descriptor is 0, which the transport reads as "no socket".
    int saved = ::dup(0);
    ::close(0);
    SocketHandle s = CreateSocket(kAfInet, kSockStream, 0);
    ::dup2(saved, 0);
    ::close(saved);
    EXPECT_GT(s, 0);
    CloseSocket(s);
#endif
}

TEST(SocketLayer, handleZeroIsNoSocket) {
    EXPECT_FALSE(IsReadable(0));
    EXPECT_FALSE(IsWritable(0));
    EXPECT_EQ(SendText(0, "x"), -1);
    EXPECT_EQ(ConnectSocket(0, "127.0.0.1", 7000), -1);
    EXPECT_EQ(PollSocket(0).result, -1);
    EXPECT_EQ(SetKeepAlive(0, 60, 10, 3), -1);
}

}  // namespace
}  // namespace vantor
