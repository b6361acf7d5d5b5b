// SPDX-License-Identifier: MIT
// Windows Sockets 2 behind the socket layer's free functions.
// winsock2.h must come first: the others use its types.
#include <winsock2.h>

#include <mstcpip.h>
#include <ws2tcpip.h>

#include <limits>
#include <mutex>

#include "platform/socket_layer.h"
#include "platform/socket_native.h"

namespace vantor {
namespace {

SOCKET Native(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

// One zero-timeout select; -1 on failure, otherwise the select result.
int SelectOne(SocketHandle socket, bool read, bool write, bool* readable, bool* writable) {
    if (socket < 1) return -1;
    fd_set readSet, writeSet, errorSet;
    FD_ZERO(&readSet);
    FD_ZERO(&writeSet);
    FD_ZERO(&errorSet);
    if (read) FD_SET(Native(socket), &readSet);
    if (write) FD_SET(Native(socket), &writeSet);
    FD_SET(Native(socket), &errorSet);
    timeval zero{0, 0};
    int r = ::select(0, &readSet, &writeSet, &errorSet, &zero);
    if (r == SOCKET_ERROR) return -1;
    *readable = FD_ISSET(Native(socket), &readSet) != 0;
    *writable = FD_ISSET(Native(socket), &writeSet) != 0;
    return r;
}

}  // namespace

// Started here once, so the layer behaves the same whether or not the program called
// SocketStartup first.
void native::EnsureStarted() {
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    });
}

int SocketStartup(std::uint16_t version) {
    WSADATA data;
    return ::WSAStartup(version, &data);
}

SocketHandle CreateSocket(int family, int type, int protocol) {
    native::EnsureStarted();
    SOCKET s = ::socket(family, type, protocol);
    if (s == INVALID_SOCKET) return kInvalidSocket;
    if (s == 0 || s > static_cast<SOCKET>(std::numeric_limits<SocketHandle>::max())) {
        ::closesocket(s);
        return kInvalidSocket;
    }
    return static_cast<SocketHandle>(s);
}

namespace {

ConnectFailure FailureOf(int error) {
    switch (error) {
        case WSAECONNREFUSED:
            return ConnectFailure::Refused;
        case WSAETIMEDOUT:
            return ConnectFailure::TimedOut;
        case WSAENETUNREACH:
        case WSAEHOSTUNREACH:
            return ConnectFailure::Unreachable;
        default:
            return ConnectFailure::Other;
    }
}

}  // namespace

int ConnectAddress(SocketHandle socket, std::uint32_t address, std::int32_t port) {
    SetLastConnectFailure(ConnectFailure::Other);
    ::WSASetLastError(0);
    ConnectState state = StartConnect(socket, address, port);
    if (state != ConnectState::Pending) {
        if (state == ConnectState::Connected) {
            SetLastConnectFailure(ConnectFailure::None);
            return 0;
        }
        SetLastConnectFailure(FailureOf(::WSAGetLastError()));
        return -1;
    }

    fd_set writeSet, errorSet;
    FD_ZERO(&writeSet);
    FD_ZERO(&errorSet);
    FD_SET(Native(socket), &writeSet);
    FD_SET(Native(socket), &errorSet);
    long long ms = ConnectTimeout().count();
    timeval wait{static_cast<long>(ms / 1000), static_cast<long>((ms % 1000) * 1000)};
    const int ready = ::select(0, nullptr, &writeSet, &errorSet, &wait);
    if (ready <= 0) {
        SetLastConnectFailure(ready == 0 ? ConnectFailure::TimedOut : ConnectFailure::Other);
        return -1;
    }
    if (CheckConnect(socket) == ConnectState::Connected) {
        SetLastConnectFailure(ConnectFailure::None);
        return 0;
    }
    SetLastConnectFailure(FailureOf(::WSAGetLastError()));
    return -1;
}

ConnectState StartConnect(SocketHandle socket, std::uint32_t address, std::int32_t port) {
    if (socket < 1 || port < 1) return ConnectState::Failed;
    std::optional<std::int16_t> shortPort = PortToShort(port);
    if (!shortPort) return ConnectState::Failed;

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(static_cast<u_short>(*shortPort));
    to.sin_addr.s_addr = address;

    // Non-blocking from here on: the connect completes in the background, and a send into a
    // full socket buffer sends what fits instead of freezing the caller.
    u_long on = 1;
    if (::ioctlsocket(Native(socket), FIONBIO, &on) != 0) return ConnectState::Failed;

    native::CountConnect();
    if (::connect(Native(socket), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
        return ConnectState::Connected;
    }
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? ConnectState::Pending : ConnectState::Failed;
}

ConnectState CheckConnect(SocketHandle socket) {
    bool readable = false, writable = false;
    // Winsock reports a failed connect in the error set, which SelectOne always asks about.
    const int r = SelectOne(socket, false, true, &readable, &writable);
    if (r < 0) return ConnectState::Failed;
    if (r == 0) return ConnectState::Pending;
    int error = 0;
    int len = sizeof error;
    if (::getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len) !=
        0) {
        return ConnectState::Failed;
    }
    if (error != 0) {
        ::WSASetLastError(error);  // the reason, for the caller that tells it
        return ConnectState::Failed;
    }
    return writable ? ConnectState::Connected : ConnectState::Failed;
}

bool IsWritable(SocketHandle socket) {
    bool readable = false, writable = false;
    return SelectOne(socket, false, true, &readable, &writable) > 0 && writable;
}

bool IsReadable(SocketHandle socket) {
    bool readable = false, writable = false;
    return SelectOne(socket, true, false, &readable, &writable) > 0 && readable;
}

PollResult PollSocket(SocketHandle socket) {
    PollResult result;
    result.result = SelectOne(socket, true, true, &result.readable, &result.writable);
    if (result.result <= 0) result.readable = result.writable = false;
    return result;
}

int SendText(SocketHandle socket, std::string_view text) {
    if (text.empty() || !IsWritable(socket)) return -1;
    int sent = ::send(Native(socket), text.data(), static_cast<int>(text.size()), 0);
    return sent == SOCKET_ERROR ? -1 : sent;
}

int ReceiveText(SocketHandle socket, std::string& text) {
    if (!IsReadable(socket)) return -1;
    std::size_t old = text.size();
    text.resize(old + kMaxReceive);
    int got = ::recv(Native(socket), text.data() + old, kMaxReceive, 0);
    text.resize(old + (got > 0 ? static_cast<std::size_t>(got) : 0));
    return got == SOCKET_ERROR ? -1 : got;
}

void CloseSocket(SocketHandle socket) {
    if (socket > 0) ::closesocket(Native(socket));
}

int SetKeepAlive(SocketHandle socket, int idleSeconds, int intervalSeconds, int probes) {
    if (socket < 1) return -1;
    tcp_keepalive values{};
    values.onoff = 1;
    values.keepalivetime = static_cast<ULONG>(idleSeconds) * 1000;
    values.keepaliveinterval = static_cast<ULONG>(intervalSeconds) * 1000;
    DWORD returned = 0;
    if (::WSAIoctl(Native(socket), SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0,
                   &returned, nullptr, nullptr) == SOCKET_ERROR)
        return -1;
#ifdef TCP_KEEPCNT
    // Older systems fix the count at 10 and refuse the option; the probes still run.
    const DWORD count = static_cast<DWORD>(probes);
    ::setsockopt(Native(socket), IPPROTO_TCP, TCP_KEEPCNT, reinterpret_cast<const char*>(&count),
                 sizeof count);
#else
    (void)probes;
#endif
    return 0;
}

}  // namespace vantor
