// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

namespace vantor {

// Keep-alive on the main connection: a link that dies without a close is noticed after about
// idle + interval * probes seconds.
inline constexpr int kKeepAliveIdleSeconds = 60;
inline constexpr int kKeepAliveIntervalSeconds = 10;
inline constexpr int kKeepAliveProbes = 3;

// When to log on again after the main connection was lost: waits that double from 2 s up to
// 32 s, then every 60 s, each with a little jitter. A link that came back but did not hold for
// the stable time does not start the waits afresh: a service that drops every connection soon
// after its log-on is tried less and less often. No Qt and no I/O: the owner polls Due() from its
// timer and reports how each attempt ended.
class ReconnectPolicy {
public:
    enum class State { Idle, Waiting, Attempting };
    using Clock = std::function<double()>;              // seconds on a steady clock
    using Jitter = std::function<double(double wait)>;  // seconds added to a wait

    ReconnectPolicy();

    void SetClock(Clock clock);     // nullptr restores the steady clock
    void SetJitter(Jitter jitter);  // nullptr restores up to a tenth of the wait either way
    // Seconds a link must hold after its log-on for the next loss to begin at the first wait
    // again; 0 (the default): every log-on does.
    void SetStableTime(double seconds);

    // The wait before the given attempt (1 is the first), without jitter.
    static double Wait(int attempt);

    State GetState() const { return state_; }
    bool Active() const { return state_ != State::Idle; }
    int Attempts() const { return attempts_; }  // attempts since the waits began
    double SecondsLeft() const;                 // until the next attempt; 0 unless waiting

    void Start();      // the link was lost: the next attempt comes after the next wait
    bool Due();        // true once when a wait is over; the attempt is then under way
    void Failed();     // the attempt failed: wait for the next one
    void Succeeded();  // logged on again: back to idle, the waits remembered a while
    void Cancel();     // the user logged off, or the server refused: back to idle, forgotten

private:
    void Schedule();

    Clock clock_;
    Jitter jitter_;
    State state_ = State::Idle;
    int attempts_ = 0;
    double dueAt_ = 0;
    double stable_ = 0;
    double upSince_ = -1;  // when the last attempt logged on; -1: none since the user did
};

}  // namespace vantor
