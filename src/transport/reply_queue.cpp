// SPDX-License-Identifier: MIT
#include "transport/reply_queue.h"

#include <algorithm>

#include "transport/reply_spec.h"

namespace vantor {

bool CodeListContains(std::string_view list, std::string_view code) {
    if (code.empty()) return false;
    while (true) {
        std::size_t comma = list.find(',');
        if (list.substr(0, comma) == code) return true;
        if (comma == std::string_view::npos) return false;
        list.remove_prefix(comma + 1);
    }
}

std::optional<Match> ReplyQueue::Offer(std::string_view code) {
    if (code.empty()) return std::nullopt;
    for (std::size_t j = 0; j < entries_.size(); ++j) {
        SendInfo& entry = entries_[j];
        if (!entry.CStart.empty() && entry.DoneS) {
            if (!entry.CEnd.empty() && code == entry.CEnd) {
                // An answer to entry j means the server is done with every command before it.
                Match m{entry.Callback.lock(), Delivery::End, kLogReplyEnd, std::move(entry.Param)};
                entries_.erase(entries_.begin(), entries_.begin() + static_cast<long>(j) + 1);
                return m;
            }
            if (CodeListContains(entry.Code, code)) {
                entry.Heard = clock_();
                return Match{entry.Callback.lock(), Delivery::Data, kLogHandled, entry.Param};
            }
            continue;
        }
        // Replies come in send order, so a line is never handed past the oldest command that
        // has not been answered yet.
        if (!entry.CStart.empty() && code == entry.CStart) {
            entry.DoneS = true;
            entry.Heard = clock_();
            return Match{entry.Callback.lock(), Delivery::Start, kLogReplyStart, entry.Param};
        }
        if (CodeListContains(entry.Code, code)) {
            Match m{entry.Callback.lock(), Delivery::Answer, kLogHandled, std::move(entry.Param)};
            entries_.erase(entries_.begin(), entries_.begin() + static_cast<long>(j) + 1);
            return m;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::vector<SendInfo> ReplyQueue::TakeExpired(std::chrono::steady_clock::duration wait) {
    std::vector<SendInfo> expired;
    if (entries_.empty()) return expired;
    const auto deadline = clock_() - wait;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->Heard < deadline) {
            expired.push_back(std::move(*it));
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    return expired;
}

std::uint64_t InterceptTable::Register(std::string code, std::weak_ptr<Callback> callback,
                                       Param param) {
    const std::uint64_t id = ++lastId_;
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Intercept& i) { return i.Code == code; });
    if (it != entries_.end()) {
        it->Callback = std::move(callback);
        it->Param = std::move(param);
        it->Id = id;
        return id;
    }
    entries_.push_back(Intercept{std::move(code), std::move(callback), std::move(param), id});
    return id;
}

void InterceptTable::Remove(std::string_view code) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Intercept& i) { return i.Code == code; });
    if (it != entries_.end()) entries_.erase(it);
}

void InterceptTable::Remove(std::string_view code, std::uint64_t id) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Intercept& i) { return i.Code == code && i.Id == id; });
    if (it != entries_.end()) entries_.erase(it);
}

std::string JoinCodes(const std::vector<std::string_view>& codes) {
    std::string list;
    for (std::string_view code : codes) {
        if (!list.empty()) list += ',';
        list += code;
    }
    return list;
}

std::optional<Match> InterceptTable::Offer(std::string_view code) const {
    if (code.empty()) return std::nullopt;
    for (const Intercept& i : entries_) {
        if (i.Code == code)
            return Match{i.Callback.lock(), Delivery::Intercepted, kLogIntercepted, i.Param};
    }
    return std::nullopt;
}

}  // namespace vantor
