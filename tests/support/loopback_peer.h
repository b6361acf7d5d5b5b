// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::test {

// A loopback port with nobody listening: bound once, then released.
int ClosedPort();

// How many descriptors this process holds open; -1 where the system does not list them.
int OpenDescriptors();

// A loopback listener with the smallest accept queue that never accepts: once the queue is full,
// further handshakes get no answer, so a connect to it can only time out.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    int Port() const { return port_; }  // 0 when it could not listen

private:
    int fd_ = -1;
    int port_ = 0;
};

// What the other side of a test connection sent, cut into lines at CR LF only: a client that
// ends a line any other way must show up as a wrong line.
struct ReceivedLines {
    // Reads what arrives within waitMs, then what is waiting without further delay.
    void Read(int fd, int waitMs);

    std::string pending;
    std::vector<std::string> lines;  // without CR LF
    bool closed = false;             // the other side closed its end
};

// A scripted server on 127.0.0.1 for one client at a time, driven from the test's own thread:
// the client under test connects, the test sends lines and reads what the client sent.
class LoopbackPeer {
public:
    LoopbackPeer();  // listens on an ephemeral port
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    int Port() const { return port_; }
    bool Listening() const { return listenFd_ >= 0; }

    // Waits (bounded) for the client's connection.
    bool Accept(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    void Send(std::string_view bytes);     // raw bytes, written completely
    void SendLine(std::string_view line);  // line + CR LF

    // Every complete line the client sent so far (without CR LF), after reading what is waiting.
    const std::vector<std::string>& Lines();
    // Waits (bounded) until the client has sent exactly this line.
    bool WaitForLine(std::string_view line,
                     std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Waits (bounded) until the client has sent at least n lines in all.
    bool WaitForLines(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // True once the client closed its side.
    bool ClientClosed();

    void CloseClient();

private:
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    int listenFd_ = -1;
    int clientFd_ = -1;
    int port_ = 0;
    ReceivedLines in_;
};

}  // namespace vantor::test
