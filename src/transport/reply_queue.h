// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/debug_log.h"
#include "transport/callback.h"

namespace vantor {

// One command sent with a callback, waiting for (the rest of) its reply.
struct SendInfo {
    std::weak_ptr<vantor::Callback> Callback;
    vantor::Param Param;
    std::string Code;       // comma-separated reply codes, may be empty
    std::string CStart;     // code opening a multi-line reply; empty = no start line
    std::string CEnd;       // code closing a multi-line reply; empty = none
    bool DoneS = false;     // the start line has been seen
    std::string Command{};  // as logged, for the note when no answer comes
    std::chrono::steady_clock::time_point Heard{};  // sent, or the last line the entry took
};

// A standing handler for unasked lines, keyed by its code.
struct Intercept {
    std::string Code;
    std::weak_ptr<vantor::Callback> Callback;
    vantor::Param Param;
    std::uint64_t Id = 0;  // which registration this is, so an older one cannot remove it
};

// What a queue entry or an intercept decided about one line. The entry has already been updated
// or removed; the caller logs, then raises. Everything is a copy, so the handler may change the
// queue or the table freely.
struct Match {
    std::shared_ptr<vantor::Callback> callback;  // null when its owner is gone
    Delivery kind = Delivery::Answer;
    int logKind = kLogNote;  // a LogKind
    Param param;
};

// True when `code` is one of the comma-separated codes of `list`. Empty codes never match.
bool CodeListContains(std::string_view list, std::string_view code);

// Commands awaiting replies, matched in the order they were sent.
class ReplyQueue {
public:
    void Append(SendInfo info) {
        info.Heard = clock_();
        entries_.push_back(std::move(info));
    }
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }
    const SendInfo& At(std::size_t i) const { return entries_[i]; }

    // Offers a line whose second word is `code`. Only the oldest entry that has not started may
    // take it; started multi-line replies ahead of it may take their own data and end lines.
    std::optional<Match> Offer(std::string_view code);

    // Removes every entry that has heard nothing for `wait`, oldest first. Left queued, a
    // command the server never answers would take the answer of the next one.
    std::vector<SendInfo> TakeExpired(std::chrono::steady_clock::duration wait);

    // Where the time comes from; tests turn it by hand.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    void SetClock(Clock clock) { clock_ = std::move(clock); }

private:
    std::deque<SendInfo> entries_;
    Clock clock_ = [] { return std::chrono::steady_clock::now(); };
};

// Standing handlers, walked in the order they were registered. An intercept whose consumer is
// gone still takes its lines (unraised) until it is removed, as registered.
class InterceptTable {
public:
    // A second registration of a code replaces the handler of the first, keeping its place.
    // Returns the registration's id.
    std::uint64_t Register(std::string code, std::weak_ptr<Callback> callback, Param param);
    void Remove(std::string_view code);
    void Remove(std::string_view code, std::uint64_t id);  // only while that registration holds
    bool Empty() const { return entries_.empty(); }
    std::size_t Size() const { return entries_.size(); }

    std::optional<Match> Offer(std::string_view code) const;

private:
    std::vector<Intercept> entries_;
    std::uint64_t lastId_ = 0;
};

}  // namespace vantor
