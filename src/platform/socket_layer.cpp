// SPDX-License-Identifier: MIT
// The parts of the socket layer that are the same on every platform.
#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/socket_layer.h"
#include "platform/socket_native.h"

namespace vantor {
namespace {

std::atomic<long long> g_connectTimeoutMs{5000};
std::atomic<std::uint64_t> g_lookups{0};
std::atomic<std::uint64_t> g_connects{0};
thread_local ConnectFailure g_lastConnectFailure = ConnectFailure::None;

}  // namespace

void native::CountLookup() {
    ++g_lookups;
}

void native::CountConnect() {
    ++g_connects;
}

SocketCounters GetSocketCounters() {
    return {g_lookups.load(), g_connects.load()};
}

std::optional<std::uint32_t> ResolveHost(std::string_view host) {
    std::string name(host);
    const auto dotted = ::inet_addr(name.c_str());
    if (dotted != INADDR_NONE) return static_cast<std::uint32_t>(dotted);

    native::CountLookup();
    native::EnsureStarted();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    std::optional<std::uint32_t> address;
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addr != nullptr) {
            address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    ::freeaddrinfo(found);
    return address;
}

ConnectFailure LastConnectFailure() {
    return g_lastConnectFailure;
}

void SetLastConnectFailure(ConnectFailure failure) {
    g_lastConnectFailure = failure;
}

std::optional<std::int16_t> PortToShort(std::int32_t value) {
    if (value < 0 || value > 65535) return std::nullopt;
    return static_cast<std::int16_t>(value > 32767 ? value - 65536 : value);
}

int ConnectSocket(SocketHandle socket, std::string_view host, std::int32_t port) {
    SetLastConnectFailure(ConnectFailure::Other);
    if (socket < 1 || host.empty() || port < 1) return -1;
    if (!PortToShort(port)) return -1;
    std::optional<std::uint32_t> address = ResolveHost(host);
    if (!address) {
        SetLastConnectFailure(ConnectFailure::NoHost);
        return -1;
    }
    return ConnectAddress(socket, *address, port);
}

std::chrono::milliseconds ConnectTimeout() {
    return std::chrono::milliseconds(g_connectTimeoutMs.load());
}

void SetConnectTimeout(std::chrono::milliseconds timeout) {
    g_connectTimeoutMs.store(timeout.count());
}

struct HostLookup::Shared {
    mutable std::mutex mutex;
    bool ready = false;
    std::optional<std::uint32_t> address;
};

HostLookup::HostLookup(std::string host) : shared_(std::make_shared<Shared>()) {
    if (host.empty()) {
        shared_->ready = true;
        return;
    }
    // A dotted address needs no look-up and no thread: ResolveHost returns it as it stands.
    if (host.find_first_not_of("0123456789.") == std::string::npos) {
        shared_->address = ResolveHost(host);
        shared_->ready = true;
        return;
    }
    std::thread([shared = shared_, name = std::move(host)] {
        std::optional<std::uint32_t> address = ResolveHost(name);
        const std::lock_guard<std::mutex> lock(shared->mutex);
        shared->address = address;
        shared->ready = true;
    }).detach();
}

HostLookup::~HostLookup() = default;

bool HostLookup::Ready() const {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->ready;
}

std::optional<std::uint32_t> HostLookup::Address() const {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->address;
}

}  // namespace vantor
