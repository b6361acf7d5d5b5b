// SPDX-License-Identifier: MIT
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

#include "support/loopback_peer.h"

namespace vantor::test {

// A loopback port where connection attempts hang: a silent listener whose backlog is already
// full, so the handshake of every further attempt is dropped until it times out.
class HangingPort {
public:
    HangingPort() {
        // The backlog takes one or two before it counts as full, depending on the system.
        for (int i = 0; i < 3 && Port() != 0; ++i) fillers_.push_back(StartConnect());
    }
    ~HangingPort() {
        for (int fd : fillers_) ::close(fd);
    }
    HangingPort(const HangingPort&) = delete;
    HangingPort& operator=(const HangingPort&) = delete;

    int Port() const { return listener_.Port(); }

    // True when a fresh attempt is still unanswered after waitMs.
    bool Hangs(int waitMs = 300) const {
        const int fd = StartConnect();
        pollfd p{fd, POLLOUT, 0};
        const bool hangs = fd >= 0 && ::poll(&p, 1, waitMs) == 0;
        ::close(fd);
        return hangs;
    }

private:
    int StartConnect() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<unsigned short>(Port()));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        (void)::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
        return fd;
    }

    SilentListener listener_;
    std::vector<int> fillers_;
};

}  // namespace vantor::test
