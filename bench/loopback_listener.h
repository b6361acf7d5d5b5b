// SPDX-License-Identifier: MIT
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantor::bench {

// The server side of a benchmark's loopback connection: listens on an ephemeral port of
// 127.0.0.1; Accept() takes the client with a send buffer large enough for a whole block.
class LoopbackListener {
public:
    LoopbackListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(fd_, 1);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~LoopbackListener() { ::close(fd_); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Port() const { return port_; }

    int Accept() const {
        const int server = ::accept(fd_, nullptr, nullptr);
        int big = kBufferBytes;
        ::setsockopt(server, SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
        return server;
    }

    static constexpr int kBufferBytes = 4 << 20;

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace vantor::bench
