// SPDX-License-Identifier: MIT
#include "support/loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vantor::test {

int ClosedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

SilentListener::SilentListener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::listen(fd_, 0) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
        port_ = ntohs(addr.sin_port);
    }
}

SilentListener::~SilentListener() {
    if (fd_ >= 0) ::close(fd_);
}

LoopbackPeer::LoopbackPeer() {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0) return;
    int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return;
    }
    port_ = ntohs(addr.sin_port);
}

LoopbackPeer::~LoopbackPeer() {
    CloseClient();
    if (listenFd_ >= 0) ::close(listenFd_);
}

bool LoopbackPeer::Accept(std::chrono::milliseconds timeout) {
    if (listenFd_ < 0) return false;
    CloseClient();
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
    clientFd_ = ::accept(listenFd_, nullptr, nullptr);
    clientClosed_ = false;
    pending_.clear();
    lines_.clear();
    return clientFd_ >= 0;
}

void LoopbackPeer::Send(std::string_view bytes) {
    while (clientFd_ >= 0 && !bytes.empty()) {
        ssize_t n = ::send(clientFd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd p{clientFd_, POLLOUT, 0};
                ::poll(&p, 1, 100);
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
    pollfd p{clientFd_, POLLIN, 0};
    while (::poll(&p, 1, waitMs) > 0) {
        char buf[65536];
        ssize_t n = ::recv(clientFd_, buf, sizeof buf, 0);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
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
    if (clientFd_ >= 0) ::close(clientFd_);
    clientFd_ = -1;
}

}  // namespace vantor::test
