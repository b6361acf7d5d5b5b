// SPDX-License-Identifier: MIT
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace vantor::test {

// A loopback port where connection attempts hang: it listens with a backlog already full and
// never accepts, so the handshake of every further attempt is dropped until it times out.
class HangingPort {
public:
    HangingPort() {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr = Loopback(0);
        socklen_t size = sizeof addr;
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), size) != 0 ||
            ::listen(listenFd_, 0) != 0 ||
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &size) != 0)
            return;
        port_ = ntohs(addr.sin_port);
        // The backlog takes one or two before it counts as full, depending on the system.
        for (int i = 0; i < 3; ++i) fillers_.push_back(StartConnect());
    }
    ~HangingPort() {
        for (int fd : fillers_) ::close(fd);
        ::close(listenFd_);
    }
    HangingPort(const HangingPort&) = delete;
    HangingPort& operator=(const HangingPort&) = delete;

    int Port() const { return port_; }

    // True when a fresh attempt is still unanswered after waitMs.
    bool Hangs(int waitMs = 300) const {
        const int fd = StartConnect();
        pollfd p{fd, POLLOUT, 0};
        const bool hangs = fd >= 0 && ::poll(&p, 1, waitMs) == 0;
        ::close(fd);
        return hangs;
    }

private:
    static sockaddr_in Loopback(int port) {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<unsigned short>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return addr;
    }
    int StartConnect() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        const sockaddr_in addr = Loopback(port_);
        (void)::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
        return fd;
    }

    int listenFd_ = -1;
    int port_ = 0;
    std::vector<int> fillers_;
};

}  // namespace vantor::test
