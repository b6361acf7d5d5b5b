// SPDX-License-Identifier: MIT
// The loopback peers over the system's socket calls (loopback_socket_*.cpp).
#include "support/loopback_peer.h"

#include <algorithm>

#include "support/loopback_socket.h"

namespace vantor::test {

int ClosedPort() {
    int port = 0;
    loopback::Close(loopback::Listen(1, &port));
    return port;
}

SilentListener::SilentListener() {
    fd_ = loopback::Listen(0, &port_);
}

SilentListener::~SilentListener() {
    loopback::Close(fd_);
}

void ReceivedLines::Read(int fd, int waitMs) {
    if (fd < 0 || closed) return;
    while (loopback::Readable(fd, waitMs)) {
        char buf[65536];
        const long n = loopback::Receive(fd, buf, sizeof buf);
        if (n <= 0) {
            closed = true;
            break;
        }
        pending.append(buf, static_cast<std::size_t>(n));
        waitMs = 0;
    }
    std::size_t at;
    while ((at = pending.find("\r\n")) != std::string::npos) {
        lines.push_back(pending.substr(0, at));
        pending.erase(0, at + 2);
    }
}

LoopbackPeer::LoopbackPeer() {
    listenFd_ = loopback::Listen(16, &port_);
}

LoopbackPeer::~LoopbackPeer() {
    CloseClient();
    loopback::Close(listenFd_);
}

bool LoopbackPeer::Accept(std::chrono::milliseconds timeout) {
    if (listenFd_ < 0) return false;
    CloseClient();
    in_ = {};
    clientFd_ = loopback::Accept(listenFd_, static_cast<int>(timeout.count()));
    return clientFd_ >= 0;
}

void LoopbackPeer::Send(std::string_view bytes) {
    loopback::SendAll(clientFd_, bytes);
}

void LoopbackPeer::SendLine(std::string_view line) {
    Send(std::string(line) + "\r\n");
}

const std::vector<std::string>& LoopbackPeer::Lines() {
    in_.Read(clientFd_, 0);
    return in_.lines;
}

bool LoopbackPeer::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        in_.Read(clientFd_, 10);
        if (done()) return true;
        if (in_.closed || std::chrono::steady_clock::now() > deadline) return false;
    }
}

bool LoopbackPeer::WaitForLine(std::string_view line, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return std::ranges::find(in_.lines, line) != in_.lines.end(); },
                     timeout);
}

bool LoopbackPeer::WaitForLines(std::size_t n, std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return in_.lines.size() >= n; }, timeout);
}

bool LoopbackPeer::ClientClosed() {
    in_.Read(clientFd_, 0);
    return in_.closed;
}

void LoopbackPeer::CloseClient() {
    loopback::Close(clientFd_);
    clientFd_ = -1;
}

}  // namespace vantor::test
