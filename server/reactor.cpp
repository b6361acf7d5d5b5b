// SPDX-License-Identifier: MIT
#include "reactor.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantor::server {
namespace {

constexpr std::uint64_t kListenerTag = std::uint64_t{1} << 63;
constexpr std::size_t kReadChunk = 16 * 1024;
constexpr int kAcceptsPerWake = 64;
constexpr auto kCloseGrace = std::chrono::seconds(3);
constexpr auto kMaxWait = std::chrono::seconds(1);

}  // namespace

Reactor::Reactor(Limits limits) : limits_(limits) {
    epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
    spareFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

Reactor::~Reactor() {
    for (auto& [id, conn] : conns_) ::close(conn.fd);
    for (int fd : listeners_) ::close(fd);
    if (spareFd_ >= 0) ::close(spareFd_);
    if (epollFd_ >= 0) ::close(epollFd_);
}

bool Reactor::Listen(int basePort, int count, std::string& error) {
    if (epollFd_ < 0) {
        error = std::string("epoll: ") + std::strerror(errno);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        int port = basePort + i;
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            error = std::string("socket: ") + std::strerror(errno);
            return false;
        }
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(fd, SOMAXCONN) != 0) {
            error =
                "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = kListenerTag | static_cast<std::uint64_t>(fd);
        ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev);
        listeners_.push_back(fd);
    }
    return true;
}

void Reactor::Run(ConnectionHandler& handler, const WakeFn& onWake,
                  const volatile std::sig_atomic_t& stop, const sigset_t& waitMask) {
    std::vector<epoll_event> events(256);
    Clock::time_point next = onWake(Clock::now());
    while (stop == 0) {
        auto now = Clock::now();
        auto wait = std::clamp<Clock::duration>(next - now, Clock::duration::zero(), kMaxWait);
        int timeoutMs =
            static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
        int n = ::epoll_pwait(epollFd_, events.data(), static_cast<int>(events.size()), timeoutMs,
                              &waitMask);
        if (n < 0 && errno != EINTR) break;
        for (int i = 0; i < n; ++i) {
            std::uint64_t tag = events[i].data.u64;
            if (tag & kListenerTag) {
                Accept(static_cast<int>(tag & ~kListenerTag), handler);
                continue;
            }
            auto it = conns_.find(tag);
            if (it == conns_.end()) continue;
            if (events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) ReadFrom(tag, handler);
            if ((events[i].events & EPOLLOUT) && conns_.count(tag) != 0) Flush(tag);
        }
        next = onWake(Clock::now());
        Settle(handler);
    }
    Settle(handler);
}

void Reactor::Accept(int listenFd, ConnectionHandler& handler) {
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if ((errno == EMFILE || errno == ENFILE) && spareFd_ >= 0) {
                // Out of descriptors: take the waiting client off the queue and close it, so
                // that the listener does not wake us again and again for it.
                ::close(spareFd_);
                int shed = ::accept(listenFd, nullptr, nullptr);
                if (shed >= 0) ::close(shed);
                spareFd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
                continue;
            }
            return;  // EAGAIN, or a client that gave up before we took it
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        ConnId id = nextId_++;
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = id;
        if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) != 0) {
            ::close(fd);
            continue;
        }
        Connection conn;
        conn.fd = fd;
        conns_.emplace(id, std::move(conn));
        handler.Connected(id, Clock::now());
    }
}

void Reactor::ReadFrom(ConnId id, ConnectionHandler& handler) {
    Connection& conn = conns_.at(id);
    if (conn.lost) return;
    char buf[kReadChunk];
    ssize_t n = ::recv(conn.fd, buf, sizeof buf, 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (n <= 0) {
        if (conn.closing) {
            Finish(id);
        } else {
            MarkLost(id, conn, n == 0 ? "Connection closed" : "Read error");
        }
        return;
    }
    if (conn.closing) return;  // what a closing peer still says is of no interest

    conn.in.append(buf, static_cast<std::size_t>(n));
    std::size_t start = 0;
    auto now = Clock::now();
    for (;;) {
        auto end = conn.in.find('\n', start);
        if (end == std::string::npos) break;
        bool skipped = conn.skipping;
        conn.skipping = false;
        std::size_t lineEnd = end;
        if (lineEnd > start && conn.in[lineEnd - 1] == '\r') --lineEnd;
        std::string line = conn.in.substr(start, lineEnd - start);
        start = end + 1;
        if (skipped) continue;
        handler.Received(id, line, now);
        // The handler may have closed this connection or any other; conn is still valid because
        // connections are only erased outside of this call.
        if (conn.closing || conn.lost) return;
    }
    conn.in.erase(0, start);
    if (conn.in.size() > limits_.maxLine) {
        conn.in.clear();
        conn.skipping = true;
    }
}

void Reactor::Send(ConnId id, std::string_view line) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    Connection& conn = it->second;
    if (conn.closing || conn.lost) return;
    if (conn.out.size() - conn.outSent + line.size() + 2 > limits_.maxOutput) {
        MarkLost(id, conn, "Send queue exceeded");
        return;
    }
    conn.out.append(line);
    conn.out.append("\r\n");
    if (!conn.queued) {
        conn.queued = true;
        pending_.push_back(id);
    }
}

void Reactor::Close(ConnId id) {
    auto it = conns_.find(id);
    if (it == conns_.end() || it->second.closing) return;
    Connection& conn = it->second;
    conn.closing = true;
    conn.closeBy = Clock::now() + kCloseGrace;
    closing_.push_back(id);
    if (!conn.queued) {
        conn.queued = true;
        pending_.push_back(id);
    }
}

void Reactor::Flush(ConnId id) {
    Connection& conn = conns_.at(id);
    conn.queued = false;
    if (conn.lost) return;
    while (conn.outSent < conn.out.size()) {
        ssize_t n = ::send(conn.fd, conn.out.data() + conn.outSent, conn.out.size() - conn.outSent,
                           MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                WatchWrite(conn, id, true);
                return;
            }
            if (conn.closing) {
                Finish(id);
            } else {
                MarkLost(id, conn, "Write error");
            }
            return;
        }
        conn.outSent += static_cast<std::size_t>(n);
    }
    conn.out.clear();
    conn.outSent = 0;
    WatchWrite(conn, id, false);
    // Everything is out: end our side and let the peer read it before it sees the close.
    if (conn.closing) ::shutdown(conn.fd, SHUT_WR);
}

void Reactor::MarkLost(ConnId id, Connection& conn, std::string_view reason) {
    if (conn.lost) return;
    conn.lost = true;
    lost_.emplace_back(id, std::string(reason));
}

void Reactor::WatchWrite(Connection& conn, ConnId id, bool on) {
    if (conn.writeWatched == on) return;
    conn.writeWatched = on;
    epoll_event ev{};
    ev.events = EPOLLIN | (on ? EPOLLOUT : 0u);
    ev.data.u64 = id;
    ::epoll_ctl(epollFd_, EPOLL_CTL_MOD, conn.fd, &ev);
}

void Reactor::Finish(ConnId id) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, it->second.fd, nullptr);
    ::close(it->second.fd);
    conns_.erase(it);
}

// Writes what was queued during this wake and tells the handler of lost connections; telling it
// queues more output (QUIT lines to the others), so both repeat until nothing is left.
void Reactor::Settle(ConnectionHandler& handler) {
    while (!pending_.empty() || !lost_.empty()) {
        auto lost = std::move(lost_);
        lost_.clear();
        for (auto& [id, reason] : lost) {
            auto it = conns_.find(id);
            bool wasClosing = it != conns_.end() && it->second.closing;
            if (it != conns_.end() && it->second.outSent < it->second.out.size()) {
                // A peer that only shut down its sending side still reads: give it what was
                // answered before its end was seen, as far as the socket takes it now.
                Connection& conn = it->second;
                ::send(conn.fd, conn.out.data() + conn.outSent, conn.out.size() - conn.outSent,
                       MSG_NOSIGNAL | MSG_DONTWAIT);
            }
            Finish(id);
            if (!wasClosing) handler.Disconnected(id, reason);
        }
        auto pending = std::move(pending_);
        pending_.clear();
        for (ConnId id : pending) {
            if (conns_.count(id) != 0) Flush(id);
        }
    }
    auto now = Clock::now();
    std::erase_if(closing_, [&](ConnId id) {
        auto it = conns_.find(id);
        if (it == conns_.end()) return true;
        if (now < it->second.closeBy) return false;
        Finish(id);
        return true;
    });
}

}  // namespace vantor::server
