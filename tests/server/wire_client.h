// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/wire_text.h"
#include "support/loopback_peer.h"

namespace vantor::test {

// A raw loopback connection to the local service, read with bounded waits.
class WireClient {
public:
    using Match = std::function<bool(const std::string& line)>;
    static constexpr std::chrono::milliseconds kWait{5000};

    explicit WireClient(int port, int receiveBuffer = 0);
    ~WireClient();
    WireClient(const WireClient&) = delete;
    WireClient& operator=(const WireClient&) = delete;

    bool Connected() const { return fd_ >= 0; }
    void Send(std::string_view raw);
    void SendLine(std::string_view line) { Send(std::string(line) + "\r\n"); }

    // Waits for the first unread line that matches, and takes it (earlier lines stay unread).
    std::optional<std::string> WaitFor(const Match& match,
                                       std::chrono::milliseconds timeout = kWait);
    // A line whose second word is this code or message name.
    std::optional<std::string> WaitForCode(std::string_view code,
                                           std::chrono::milliseconds timeout = kWait);
    // Takes every line read so far (after one short read).
    std::vector<std::string> TakeLines();
    // Waits until the service closed the connection.
    bool WaitClosed(std::chrono::milliseconds timeout = kWait);

    // The client's log-on sequence; true once "376" arrived.
    bool LogOn(std::string_view nick, std::string_view password);

    void Close();
    void ShutdownSend();  // half-close: the service sees the end, the client still reads

private:
    int fd_ = -1;
    ReceivedLines in_;
};

// WordAt as an owned string, so that it may outlive the line it came from.
inline std::string Word(std::string_view line, std::size_t index, std::size_t maxParts = 0) {
    return std::string(WordAt(line, index, maxParts));
}

// Sends a line and answers one word of the first reply with this code, "<no reply>" if none came.
inline std::string Ask(WireClient& client, std::string_view line, std::string_view code,
                       std::size_t index, std::size_t maxParts = 0) {
    client.SendLine(line);
    auto reply = client.WaitForCode(code);
    return reply ? Word(*reply, index, maxParts) : "<no reply>";
}

}  // namespace vantor::test
