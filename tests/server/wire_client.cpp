// SPDX-License-Identifier: MIT
#include "wire_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "password_code.h"

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
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void WireClient::ShutdownSend() {
    if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
}

void WireClient::Send(std::string_view raw) {
    while (fd_ >= 0 && !raw.empty()) {
        ssize_t n = ::send(fd_, raw.data(), raw.size(), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        raw.remove_prefix(static_cast<std::size_t>(n));
    }
}

void WireClient::Read(int waitMs) {
    if (fd_ < 0 || closed_) return;
    pollfd p{fd_, POLLIN, 0};
    while (::poll(&p, 1, waitMs) > 0) {
        char buf[65536];
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) {
            closed_ = true;
            break;
        }
        pending_.append(buf, static_cast<std::size_t>(n));
        waitMs = 0;
    }
    std::size_t at;
    while ((at = pending_.find("\r\n")) != std::string::npos) {
        lines_.push_back(pending_.substr(0, at));
        pending_.erase(0, at + 2);
    }
}

std::optional<std::string> WireClient::WaitFor(const Match& match,
                                               std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    Read(0);
    for (;;) {
        auto it = std::find_if(lines_.begin(), lines_.end(), match);
        if (it != lines_.end()) {
            std::string line = *it;
            lines_.erase(it);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || closed_ || fd_ < 0) return std::nullopt;
        Read(static_cast<int>(std::min<long long>(left.count(), 50)));
    }
}

std::optional<std::string> WireClient::WaitForCode(std::string_view code,
                                                   std::chrono::milliseconds timeout) {
    std::string wanted(code);
    return WaitFor([&](const std::string& line) { return Word(line, 1) == wanted; }, timeout);
}

std::vector<std::string> WireClient::TakeLines() {
    Read(0);
    return std::exchange(lines_, {});
}

bool WireClient::WaitClosed(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!closed_ && fd_ >= 0 && std::chrono::steady_clock::now() < deadline) Read(50);
    return closed_;
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
