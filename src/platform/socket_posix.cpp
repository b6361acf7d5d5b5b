// SPDX-License-Identifier: MIT
// BSD sockets behind the socket layer's free functions.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/socket_layer.h"
#include "platform/socket_native.h"

namespace vantor {
namespace {

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif

// poll() rather than select(): select cannot take descriptors past FD_SETSIZE and would write
// outside its set. The masks are the ones select() reports a socket ready for.
int PollOne(SocketHandle socket, short events, short* revents) {
    if (socket < 1) return -1;
    pollfd p{};
    p.fd = socket;
    p.events = events;
    int r;
    do {
        r = ::poll(&p, 1, 0);
    } while (r < 0 && errno == EINTR);
    if (r < 0) return -1;
    if (p.revents & POLLNVAL) return -1;
    *revents = p.revents;
    return r;
}

ConnectFailure FailureOf(int error) {
    switch (error) {
        case ECONNREFUSED:
            return ConnectFailure::Refused;
        case ETIMEDOUT:
            return ConnectFailure::TimedOut;
        case ENETUNREACH:
        case EHOSTUNREACH:
            return ConnectFailure::Unreachable;
        default:
            return ConnectFailure::Other;
    }
}

constexpr short kReadyToRead = POLLIN | POLLHUP | POLLERR;
constexpr short kReadyToWrite = POLLOUT | POLLERR;

}  // namespace

void native::EnsureStarted() {}

int SocketStartup(std::uint16_t /*version*/) {
    return 0;
}

SocketHandle CreateSocket(int family, int type, int protocol) {
    int fd = ::socket(family == kAfInet ? AF_INET : family,
                      type == kSockStream ? SOCK_STREAM : type, protocol);
    if (fd < 0) return kInvalidSocket;
    // Descriptor 0 is free when stdin is closed, but 0 means "no socket" to the transport.
    if (fd == 0) {
        int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 1);
        ::close(fd);
        if (moved < 0) return kInvalidSocket;
        fd = moved;
    }
    if (fd > std::numeric_limits<SocketHandle>::max()) {
        ::close(fd);
        return kInvalidSocket;
    }
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
#ifdef SO_NOSIGPIPE
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
    return static_cast<SocketHandle>(fd);
}

int ConnectAddress(SocketHandle socket, std::uint32_t address, std::int32_t port) {
    SetLastConnectFailure(ConnectFailure::Other);
    errno = 0;
    ConnectState state = StartConnect(socket, address, port);
    auto deadline = std::chrono::steady_clock::now() + ConnectTimeout();
    while (state == ConnectState::Pending) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            SetLastConnectFailure(ConnectFailure::TimedOut);
            return -1;
        }
        pollfd p{};
        p.fd = socket;
        p.events = POLLOUT;
        int r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            SetLastConnectFailure(r == 0 ? ConnectFailure::TimedOut : ConnectFailure::Other);
            return -1;
        }
        state = CheckConnect(socket);
    }
    if (state == ConnectState::Connected) {
        SetLastConnectFailure(ConnectFailure::None);
        return 0;
    }
    SetLastConnectFailure(FailureOf(errno));
    return -1;
}

ConnectState StartConnect(SocketHandle socket, std::uint32_t address, std::int32_t port) {
    if (socket < 1 || port < 1) return ConnectState::Failed;
    std::optional<std::int16_t> shortPort = PortToShort(port);
    if (!shortPort) return ConnectState::Failed;

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(*shortPort));
    to.sin_addr.s_addr = address;

    // Non-blocking from here on: the connect completes in the background, and a send into a
    // full socket buffer sends what fits instead of freezing the caller.
    int flags = ::fcntl(socket, F_GETFL, 0);
    if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) return ConnectState::Failed;

    native::CountConnect();
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0)
        return ConnectState::Connected;
    return errno == EINPROGRESS || errno == EINTR ? ConnectState::Pending : ConnectState::Failed;
}

ConnectState CheckConnect(SocketHandle socket) {
    short revents = 0;
    const int r = PollOne(socket, POLLOUT, &revents);
    if (r < 0) return ConnectState::Failed;
    if (r == 0) return ConnectState::Pending;
    int error = 0;
    socklen_t len = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &len) < 0) return ConnectState::Failed;
    if (error != 0) {
        errno = error;  // the reason, for the caller that tells it
        return ConnectState::Failed;
    }
    return (revents & POLLOUT) ? ConnectState::Connected : ConnectState::Failed;
}

bool IsWritable(SocketHandle socket) {
    short revents = 0;
    return PollOne(socket, POLLOUT, &revents) > 0 && (revents & kReadyToWrite);
}

bool IsReadable(SocketHandle socket) {
    short revents = 0;
    return PollOne(socket, POLLIN, &revents) > 0 && (revents & kReadyToRead);
}

PollResult PollSocket(SocketHandle socket) {
    PollResult result;
    short revents = 0;
    result.result = PollOne(socket, POLLIN | POLLOUT, &revents);
    if (result.result > 0) {
        result.readable = (revents & kReadyToRead) != 0;
        result.writable = (revents & kReadyToWrite) != 0;
    }
    return result;
}

int SendText(SocketHandle socket, std::string_view text) {
    if (text.empty() || !IsWritable(socket)) return -1;
    ssize_t sent;
    do {
        sent = ::send(socket, text.data(), text.size(), kSendFlags);
    } while (sent < 0 && errno == EINTR);
    return sent < 0 ? -1 : static_cast<int>(sent);
}

int ReceiveText(SocketHandle socket, std::string& text) {
    if (!IsReadable(socket)) return -1;
    std::size_t old = text.size();
    text.resize(old + kMaxReceive);
    ssize_t got;
    do {
        got = ::recv(socket, text.data() + old, kMaxReceive, 0);
    } while (got < 0 && errno == EINTR);
    text.resize(old + (got > 0 ? static_cast<std::size_t>(got) : 0));
    return got < 0 ? -1 : static_cast<int>(got);
}

void CloseSocket(SocketHandle socket) {
    if (socket > 0) ::close(socket);
}

int SetKeepAlive(SocketHandle socket, int idleSeconds, int intervalSeconds, int probes) {
    if (socket < 1) return -1;
    const int on = 1;
    if (::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0) return -1;
#ifdef TCP_KEEPIDLE
    if (::setsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds) != 0)
        return -1;
#elif defined(TCP_KEEPALIVE)
    if (::setsockopt(socket, IPPROTO_TCP, TCP_KEEPALIVE, &idleSeconds, sizeof idleSeconds) != 0)
        return -1;
#endif
#ifdef TCP_KEEPINTVL
    if (::setsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds,
                     sizeof intervalSeconds) != 0)
        return -1;
#endif
#ifdef TCP_KEEPCNT
    if (::setsockopt(socket, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes) != 0) return -1;
#endif
    (void)intervalSeconds;
    (void)probes;
    return 0;
}

}  // namespace vantor
