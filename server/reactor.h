// SPDX-License-Identifier: MIT
#pragma once

#include <signal.h>

#include <csignal>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "chat_server.h"

namespace vantor::server {

// One thread, one epoll set: the listening sockets and every client connection, all
// non-blocking. Output is queued per connection and written when the socket takes it, so a slow
// or stuck client costs memory up to its limit, never time of the others.
class Reactor : public Outlet {
public:
    struct Limits {
        std::size_t maxLine = 16 * 1024;          // longer input lines are dropped whole
        std::size_t maxOutput = 4 * 1024 * 1024;  // a client that falls further behind is dropped
    };

    explicit Reactor(Limits limits);
    ~Reactor() override;
    Reactor(const Reactor&) = delete;
    Reactor& operator=(const Reactor&) = delete;

    // Listens on 127.0.0.1 at count ports from basePort.
    bool Listen(int basePort, int count, std::string& error);

    // Runs until stop becomes non-zero. onWake runs after every wait and returns when it wants to
    // run next. The signals in wakeSignals (blocked by the caller) interrupt the wait.
    using WakeFn = std::function<Clock::time_point(Clock::time_point now)>;
    void Run(ConnectionHandler& handler, const WakeFn& onWake,
             const volatile std::sig_atomic_t& stop, const sigset_t& waitMask);

    void Send(ConnId id, std::string_view line) override;
    void Close(ConnId id) override;

    std::size_t ConnectionCount() const { return conns_.size(); }

private:
    struct Connection {
        int fd = -1;
        std::string in;
        bool skipping = false;  // inside an over-long line: drop up to its end
        std::string out;
        std::size_t outSent = 0;
        bool writeWatched = false;
        bool queued = false;   // in pending_
        bool closing = false;  // asked to close: flush, then wait for the peer's end
        bool lost = false;     // failed: the handler still has to hear of it
        Clock::time_point closeBy{};
    };

    void Accept(int listenFd, ConnectionHandler& handler);
    void ReadFrom(ConnId id, ConnectionHandler& handler);
    void Flush(ConnId id);
    void MarkLost(ConnId id, Connection& conn, std::string_view reason);
    void WatchWrite(Connection& conn, ConnId id, bool on);
    void Finish(ConnId id);
    void Settle(ConnectionHandler& handler);

    Limits limits_;
    int epollFd_ = -1;
    int spareFd_ = -1;  // given up to accept-and-close when out of descriptors
    std::vector<int> listeners_;
    std::unordered_map<ConnId, Connection> conns_;
    ConnId nextId_ = 1;
    std::vector<ConnId> pending_;  // connections with output to write
    std::vector<std::pair<ConnId, std::string>> lost_;
    std::vector<ConnId> closing_;
};

}  // namespace vantor::server
