// SPDX-License-Identifier: MIT
// The test peers' socket calls over BSD sockets, and the count of open descriptors.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "support/loopback_peer.h"

#include "support/loopback_socket.h"

namespace vantor::test::loopback {

int Listen(int backlog, int* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd, backlog) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(addr.sin_port);
    return fd;
}

int Accept(int listener, int waitMs) {
    return Readable(listener, waitMs) ? ::accept(listener, nullptr, nullptr) : -1;
}

bool Readable(int fd, int waitMs) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, waitMs) > 0;
}

long Receive(int fd, char* buf, std::size_t size) {
    ssize_t n;
    do n = ::recv(fd, buf, size, 0);
    while (n < 0 && errno == EINTR);
    return n;
}

void SendAll(int fd, std::string_view bytes) {
    while (fd >= 0 && !bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return;
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void Close(int fd) {
    if (fd >= 0) ::close(fd);
}

}  // namespace vantor::test::loopback

int vantor::test::OpenDescriptors() {
    std::error_code ec;
    int n = 0;
    for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; ++it)
        ++n;
    return ec ? -1 : n;
}
