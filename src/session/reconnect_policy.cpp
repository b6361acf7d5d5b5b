// SPDX-License-Identifier: MIT
#include "session/reconnect_policy.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace vantor {

namespace {

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Spread so that many clients dropped at once do not all come back in the same second.
double TenthEitherWay(double wait) {
    static std::minstd_rand generator{std::random_device{}()};
    std::uniform_real_distribution<double> spread(-wait / 10, wait / 10);
    return spread(generator);
}

}  // namespace

ReconnectPolicy::ReconnectPolicy() : clock_(&SteadySeconds), jitter_(&TenthEitherWay) {}

void ReconnectPolicy::SetClock(Clock clock) {
    clock_ = clock ? std::move(clock) : Clock(&SteadySeconds);
}

void ReconnectPolicy::SetJitter(Jitter jitter) {
    jitter_ = jitter ? std::move(jitter) : Jitter(&TenthEitherWay);
}

double ReconnectPolicy::Wait(int attempt) {
    constexpr int kDoublings = 5;  // 2, 4, 8, 16, 32
    if (attempt < 1) return 0;
    if (attempt > kDoublings) return 60;
    return static_cast<double>(1 << attempt);
}

double ReconnectPolicy::SecondsLeft() const {
    return state_ == State::Waiting ? std::max(0.0, dueAt_ - clock_()) : 0.0;
}

void ReconnectPolicy::SetStableTime(double seconds) {
    stable_ = std::max(0.0, seconds);
}

void ReconnectPolicy::Start() {
    const bool held = upSince_ < 0 || clock_() - upSince_ >= stable_;
    if (held) attempts_ = 0;
    upSince_ = -1;
    Schedule();
}

bool ReconnectPolicy::Due() {
    if (state_ != State::Waiting || clock_() < dueAt_) return false;
    state_ = State::Attempting;
    ++attempts_;
    return true;
}

void ReconnectPolicy::Failed() {
    if (state_ == State::Attempting) Schedule();
}

void ReconnectPolicy::Succeeded() {
    state_ = State::Idle;
    upSince_ = clock_();
}

void ReconnectPolicy::Cancel() {
    state_ = State::Idle;
    attempts_ = 0;
    upSince_ = -1;
}

void ReconnectPolicy::Schedule() {
    const double wait = Wait(attempts_ + 1);
    dueAt_ = clock_() + std::max(0.0, wait + jitter_(wait));
    state_ = State::Waiting;
}

}  // namespace vantor
