// SPDX-License-Identifier: MIT
// The parts of the socket layer that are the same on every platform.
#include <atomic>

#include "platform/socket_layer.h"

namespace vantor {
namespace {

std::atomic<long long> g_connectTimeoutMs{5000};

}  // namespace

std::optional<std::int16_t> PortToShort(std::int32_t value) {
    if (value < 0 || value > 65535) return std::nullopt;
    return static_cast<std::int16_t>(value > 32767 ? value - 65536 : value);
}

std::chrono::milliseconds ConnectTimeout() {
    return std::chrono::milliseconds(g_connectTimeoutMs.load());
}

void SetConnectTimeout(std::chrono::milliseconds timeout) {
    g_connectTimeoutMs.store(timeout.count());
}

}  // namespace vantor
