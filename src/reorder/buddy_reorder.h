// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/liveness.h"
#include "transport/callback.h"

namespace vantor {

class BuddyRestore;
class ReorderLink;

// Uploads a buddy list in a new order. The service offers no move, so every buddy is deleted
// (phase 1) and then added again in the new order (phase 2); replies are counted per phase.
// A phase that stops getting answers, an error answer or a lost connection ends the run, and the
// buddies not yet added again go to the restore record (added back at once while the service
// still answers, else at the next log-on), so none is ever silently gone.
//
// Events are raised synchronously from inside a reply, a send or NoAnswer; a handler may destroy
// this object, which touches nothing of itself after an event returns.
class BuddyReorder {
public:
    enum Phase : int { kIdle = 0, kDeleting = 1, kAdding = 2, kDone = 3, kFailed = 4 };
    enum class Cause { NoAnswer, Refused, ConnectionLost, SessionError };

    struct Failure {
        Cause cause = Cause::NoAnswer;
        int phase = kDeleting;             // the phase that failed
        std::string nick;                  // Refused: the buddy whose command was refused
        std::string code;                  // Refused: the reply code
        int error = 0;                     // SessionError: the session's error code
        std::vector<std::string> pending;  // not yet added again, in the new order
        bool addingBack = false;           // pending ones sent again now; else at next log-on
    };

    // The order file ("BudListReordTemp.tmp") is written at Start; restore must outlive the run.
    BuddyReorder(ReorderLink& link, BuddyRestore& restore, std::filesystem::path orderFile);
    ~BuddyReorder();
    BuddyReorder(const BuddyReorder&) = delete;
    BuddyReorder& operator=(const BuddyReorder&) = delete;

    std::function<void(int value)> Progress;  // the progress bar's value, 0..2 x total
    std::function<void()> Succeeded;
    std::function<void(const Failure&)> Failed;

    // Phase 1: writes the order file and sends one DELBUDDY per buddy. An empty list starts
    // nothing, sends nothing and gives false.
    bool Start(std::vector<std::string> order);

    // The run's reply handler (BudCB): only Param and the reply code are looked at.
    void BudCB_Callback(const std::string& line, Delivery kind, const Param& param);

    void NoAnswer();              // the answer time has passed without a reply
    void ConnectionLost();        // the connection closed
    void SessionError(int code);  // the session raised Error

    int Total() const { return total_; }
    int Max() const { return 2 * total_; }
    int Value() const { return value_; }
    Phase CurrentPhase() const { return phase_; }
    bool Running() const { return phase_ == kDeleting || phase_ == kAdding; }
    // A DELBUDDY went out: the service's list may differ from the one last downloaded.
    bool Touched() const { return phase_ != kIdle; }
    const std::shared_ptr<Callback>& BudCB() const { return budCB_; }

private:
    void SendPhase(Phase phase);
    void Fail(Failure failure);
    void SetValue(int value);

    ReorderLink& link_;
    BuddyRestore& restore_;
    std::filesystem::path orderFile_;
    std::vector<std::string> order_;
    std::string account_;
    Phase phase_ = kIdle;
    int total_ = 0;
    int counter_ = 0;  // replies counted in the current phase
    int value_ = 0;
    std::shared_ptr<Callback> budCB_;
    // Checked after every call-out: a handler may have destroyed this object.
    Liveness alive_;
};

}  // namespace vantor
