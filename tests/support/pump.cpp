// SPDX-License-Identifier: MIT
#include "support/pump.h"

#include <thread>

namespace vantor::test {

bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& step,
               std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return done();
        if (step) step();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace vantor::test
