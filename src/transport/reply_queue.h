// SPDX-License-Identifier: MIT
#pragma once

#include <deque>
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
    std::string Code;    // comma-separated reply codes, may be empty
    std::string CStart;  // code opening a multi-line reply; empty = no start line
    std::string CEnd;    // code closing a multi-line reply; empty = none
    bool DoneS = false;  // the start line has been seen
};

// A standing handler for unasked lines, keyed by its code.
struct Intercept {
    std::string Code;
    std::weak_ptr<vantor::Callback> Callback;
    vantor::Param Param;
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
    void Append(SendInfo info) { entries_.push_back(std::move(info)); }
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }
    const SendInfo& At(std::size_t i) const { return entries_[i]; }

    // Offers a line whose second word is `code`. Only the oldest entry that has not started may
    // take it; started multi-line replies ahead of it may take their own data and end lines.
    std::optional<Match> Offer(std::string_view code);

private:
    std::deque<SendInfo> entries_;
};

// Standing handlers, walked in the order they were registered. An intercept whose consumer is
// gone still takes its lines (unraised) until it is removed, as registered.
class InterceptTable {
public:
    // A second registration of a code replaces the handler of the first, keeping its place.
    void Register(std::string code, std::weak_ptr<Callback> callback, Param param);
    void Remove(std::string_view code);
    bool Empty() const { return entries_.empty(); }
    std::size_t Size() const { return entries_.size(); }

    std::optional<Match> Offer(std::string_view code) const;

private:
    std::vector<Intercept> entries_;
};

}  // namespace vantor
