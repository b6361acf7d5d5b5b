// SPDX-License-Identifier: MIT
// The loopback peers over Winsock.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <mutex>

#include "support/loopback_peer.h"

namespace vantor::test {
namespace {

// The peers may be the first to use Winsock in a test program.
void StartWinsock() {
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    });
}

// Handles are kept as int like descriptors elsewhere; Winsock handles are small in practice.
SOCKET Native(int fd) {
    return static_cast<SOCKET>(fd);
}

int Stored(SOCKET s) {
    return s == INVALID_SOCKET ? -1 : static_cast<int>(s);
}

// A socket bound to 127.0.0.1 on an ephemeral port and listening, or -1; *port gets the port.
int Listen(int backlog, int* port) {
    StartWinsock();
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET) return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    if (::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(s, backlog) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::closesocket(s);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return Stored(s);
}

// Waits up to waitMs for the socket to become readable (or to have a connection to accept).
bool WaitReadable(int fd, int waitMs) {
    WSAPOLLFD p{};
    p.fd = Native(fd);
    p.events = POLLRDNORM;
    return ::WSAPoll(&p, 1, waitMs) > 0;
}

}  // namespace

int ClosedPort() {
    StartWinsock();
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::closesocket(s);
    return ntohs(addr.sin_port);
}

SilentListener::SilentListener() {
    fd_ = Listen(0, &port_);
}

SilentListener::~SilentListener() {
    if (fd_ >= 0) ::closesocket(Native(fd_));
}

LoopbackPeer::LoopbackPeer() {
    listenFd_ = Listen(16, &port_);
}

LoopbackPeer::~LoopbackPeer() {
    CloseClient();
    if (listenFd_ >= 0) ::closesocket(Native(listenFd_));
}

bool LoopbackPeer::Accept(std::chrono::milliseconds timeout) {
    if (listenFd_ < 0) return false;
    CloseClient();
    if (!WaitReadable(listenFd_, static_cast<int>(timeout.count()))) return false;
    clientFd_ = Stored(::accept(Native(listenFd_), nullptr, nullptr));
    clientClosed_ = false;
    pending_.clear();
    lines_.clear();
    return clientFd_ >= 0;
}

void LoopbackPeer::Send(std::string_view bytes) {
    while (clientFd_ >= 0 && !bytes.empty()) {
        int n = ::send(Native(clientFd_), bytes.data(), static_cast<int>(bytes.size()), 0);
        if (n == SOCKET_ERROR) {
            if (::WSAGetLastError() == WSAEWOULDBLOCK) {
                WSAPOLLFD p{};
                p.fd = Native(clientFd_);
                p.events = POLLWRNORM;
                ::WSAPoll(&p, 1, 100);
                continue;
            }
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void LoopbackPeer::SendLine(std::string_view line) {
    std::string s(line);
    s += "\r\n";
    Send(s);
}

void LoopbackPeer::ReadAvailable(int waitMs) {
    if (clientFd_ < 0 || clientClosed_) return;
    while (WaitReadable(clientFd_, waitMs)) {
        char buf[65536];
        int n = ::recv(Native(clientFd_), buf, sizeof buf, 0);
        if (n <= 0) {
            clientClosed_ = true;
            break;
        }
        pending_.append(buf, static_cast<std::size_t>(n));
        waitMs = 0;
    }
    std::size_t pos;
    while ((pos = pending_.find("\r\n")) != std::string::npos) {
        lines_.push_back(pending_.substr(0, pos));
        pending_.erase(0, pos + 2);
    }
}

const std::vector<std::string>& LoopbackPeer::Lines() {
    ReadAvailable(0);
    return lines_;
}

bool LoopbackPeer::WaitForLine(std::string_view line, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        ReadAvailable(10);
        if (std::find(lines_.begin(), lines_.end(), line) != lines_.end()) return true;
        if (clientClosed_ || std::chrono::steady_clock::now() > deadline) return false;
    }
}

bool LoopbackPeer::WaitForLines(std::size_t n, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        ReadAvailable(10);
        if (lines_.size() >= n) return true;
        if (clientClosed_ || std::chrono::steady_clock::now() > deadline) return false;
    }
}

bool LoopbackPeer::ClientClosed() {
    ReadAvailable(0);
    return clientClosed_;
}

void LoopbackPeer::CloseClient() {
    if (clientFd_ >= 0) ::closesocket(Native(clientFd_));
    clientFd_ = -1;
}

}  // namespace vantor::test
