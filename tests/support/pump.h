// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>

namespace vantor::test {

// Calls step() until done() holds or the time runs out; returns done(). A bounded wait, never a
// fixed sleep: step is typically one receive pass or processEvents.
bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& step,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

}  // namespace vantor::test
