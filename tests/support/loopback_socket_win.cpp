// SPDX-License-Identifier: MIT
// The test peers' socket calls over Winsock.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "support/loopback_peer.h"
#include "support/loopback_socket.h"

namespace vantor::test::loopback {
namespace {

// Handles are kept as int like descriptors elsewhere; Winsock handles are small in practice.
SOCKET Native(int fd) {
    return static_cast<SOCKET>(fd);
}

bool Wait(int fd, short events, int waitMs) {
    WSAPOLLFD p{};
    p.fd = Native(fd);
    p.events = events;
    return ::WSAPoll(&p, 1, waitMs) > 0;
}

}  // namespace

int Listen(int backlog, int* port) {
    // The peers may be the first to use Winsock in a test program.
    static std::once_flag once;
    std::call_once(once, [] {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    });
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
    return static_cast<int>(s);
}

int Accept(int listener, int waitMs) {
    if (!Readable(listener, waitMs)) return -1;
    SOCKET s = ::accept(Native(listener), nullptr, nullptr);
    return s == INVALID_SOCKET ? -1 : static_cast<int>(s);
}

bool Readable(int fd, int waitMs) {
    return Wait(fd, POLLRDNORM, waitMs);
}

long Receive(int fd, char* buf, std::size_t size) {
    return ::recv(Native(fd), buf, static_cast<int>(size), 0);
}

void SendAll(int fd, std::string_view bytes) {
    while (fd >= 0 && !bytes.empty()) {
        const int n = ::send(Native(fd), bytes.data(), static_cast<int>(bytes.size()), 0);
        if (n == SOCKET_ERROR) {
            if (::WSAGetLastError() != WSAEWOULDBLOCK) return;
            Wait(fd, POLLWRNORM, 100);
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void Close(int fd) {
    if (fd >= 0) ::closesocket(Native(fd));
}

}  // namespace vantor::test::loopback

int vantor::test::OpenDescriptors() {
    return -1;
}
