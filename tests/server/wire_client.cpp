// SPDX-License-Identifier: MIT
#include "wire_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <utility>

#include "password_code.h"
#include "support/loopback_socket.h"

namespace vantor::test {

WireClient::WireClient(int port, int receiveBuffer) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return;
    if (receiveBuffer > 0) {
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Close();
}

WireClient::~WireClient() {
    Close();
}

void WireClient::Close() {
    loopback::Close(fd_);
    fd_ = -1;
}

void WireClient::ShutdownSend() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
}

void WireClient::Send(std::string_view raw) {
    loopback::SendAll(fd_, raw);
}

std::optional<std::string> WireClient::WaitFor(const Match& match,
                                               std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    in_.Read(fd_, 0);
    for (;;) {
        auto it = std::find_if(in_.lines.begin(), in_.lines.end(), match);
        if (it != in_.lines.end()) {
            std::string line = *it;
            in_.lines.erase(it);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || in_.closed || fd_ < 0) return std::nullopt;
        in_.Read(fd_, static_cast<int>(std::min<long long>(left.count(), 50)));
    }
}

std::optional<std::string> WireClient::WaitForCode(std::string_view code,
                                                   std::chrono::milliseconds timeout) {
    std::string wanted(code);
    return WaitFor([&](const std::string& line) { return Word(line, 1) == wanted; }, timeout);
}

std::vector<std::string> WireClient::TakeLines() {
    in_.Read(fd_, 0);
    return std::exchange(in_.lines, {});
}

bool WireClient::WaitClosed(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!in_.closed && fd_ >= 0 && std::chrono::steady_clock::now() < deadline) {
        in_.Read(fd_, 50);
    }
    return in_.closed;
}

bool WireClient::LogOn(std::string_view nick, std::string_view password) {
    SendLine("CVERS 11020 3072");
    SendLine("PASS quietharbor");
    SendLine("NICK " + std::string(nick));
    SendLine("apgar " + server::EncodePassword(password) + " 0");
    SendLine("USER UserName HostName 127.0.0.1 :RealName");
    return WaitForCode("376").has_value();
}

}  // namespace vantor::test
