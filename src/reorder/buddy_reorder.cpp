// SPDX-License-Identifier: MIT
#include "reorder/buddy_reorder.h"

#include <fstream>
#include <utility>

#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_link.h"

namespace vantor {

BuddyReorder::BuddyReorder(ReorderLink& link, BuddyRestore& restore,
                           std::filesystem::path orderFile)
    : link_(link), restore_(restore), orderFile_(std::move(orderFile)) {}

BuddyReorder::~BuddyReorder() = default;

bool BuddyReorder::Start(std::vector<std::string> order) {
    if (phase_ != kIdle || order.empty()) return false;
    order_ = std::move(order);
    total_ = static_cast<int>(order_.size());
    account_ = link_.NickName();
    const auto alive = alive_.watch();
    budCB_ = MakeCallback([this, alive](const std::string& line, Delivery kind, const Param& p) {
        if (alive()) BudCB_Callback(line, kind, p);
    });
    // Recorded before the first delete, so even a crash in the middle loses nobody.
    restore_.Record(account_, order_);

    std::ofstream file(orderFile_, std::ios::binary | std::ios::trunc);
    if (!file) DebugLog(Tag{}, "The buddy order file could not be written.", kLogError);
    for (const std::string& nick : order_) {
        if (file) file << nick << "\r\n";
    }
    file.close();
    SendPhase(kDeleting);
    return true;
}

void BuddyReorder::SendPhase(Phase phase) {
    phase_ = phase;
    counter_ = 0;
    if (!link_.Connected()) return ConnectionLost();
    const std::string_view word = phase == kDeleting ? kDelBuddy : kAddBuddy;
    const std::vector<std::string_view>& codes =
        phase == kDeleting ? kDelBuddyCodes : kAddBuddyCodes;
    const auto alive = alive_.watch();
    // Copied: a send that fails may end the run from inside it, releasing BudCB.
    const std::vector<std::string> order = order_;
    const std::shared_ptr<Callback> callback = budCB_;
    for (const std::string& nick : order) {
        link_.send(std::string(word) + nick,
                   {.callback = callback, .param = Param{int(phase)}, .codes = codes});
        if (!alive() || phase_ != phase) return;
    }
}

void BuddyReorder::BudCB_Callback(const std::string& line, Delivery, const Param& param) {
    const int* phase = std::any_cast<int>(&param);
    if (!Running() || phase == nullptr || *phase != phase_) return;
    const std::string_view code = WordAt(line, 1);
    if (code != (phase_ == kDeleting ? reply::kDelBuddyAnswer : reply::kAddBuddyAnswer)) {
        // Answers come in send order, so the refused command is the next one not yet counted.
        Failure failure;
        failure.cause = Cause::Refused;
        failure.nick = order_[static_cast<std::size_t>(counter_)];
        failure.code = std::string(code);
        return Fail(std::move(failure));
    }
    ++counter_;
    const auto alive = alive_.watch();
    SetValue(phase_ == kDeleting ? counter_ : counter_ + total_);
    if (!alive() || counter_ < total_) return;
    if (phase_ == kDeleting) return SendPhase(kAdding);

    phase_ = kDone;
    counter_ = 0;
    restore_.Forget(account_);
    budCB_.reset();
    CallCopy(Succeeded);
}

void BuddyReorder::SetValue(int value) {
    value_ = value;
    CallCopy(Progress, value);
}

void BuddyReorder::NoAnswer() {
    if (!Running()) return;
    // A link that closed without anyone telling us is a lost connection, not a silent service.
    if (!link_.Connected()) return ConnectionLost();
    Fail(Failure{});
}

void BuddyReorder::ConnectionLost() {
    Failure failure;
    failure.cause = Cause::ConnectionLost;
    Fail(std::move(failure));
}

void BuddyReorder::SessionError(int code) {
    Failure failure;
    failure.cause = Cause::SessionError;
    failure.error = code;
    Fail(std::move(failure));
}

void BuddyReorder::Fail(Failure failure) {
    if (!Running()) return;
    failure.phase = phase_;
    // Adds are answered in order: the first counter_ of phase 2 are back on the list.
    const std::size_t back = phase_ == kAdding ? static_cast<std::size_t>(counter_) : 0;
    failure.pending.assign(order_.begin() + static_cast<long>(back), order_.end());
    phase_ = kFailed;
    budCB_.reset();  // late answers of this run find nobody
    restore_.Record(account_, failure.pending);
    // Only a link that still answers can take the buddies back now; after a session error or a
    // lost connection the next log-on does it.
    failure.addingBack =
        (failure.cause == Cause::NoAnswer || failure.cause == Cause::Refused) && link_.Connected();
    const auto alive = alive_.watch();
    if (failure.addingBack) restore_.AddBack(link_, failure.pending);
    if (!alive()) return;
    CallCopy(Failed, failure);
}

}  // namespace vantor
