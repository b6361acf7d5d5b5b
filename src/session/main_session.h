// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/liveness.h"
#include "session/buddy_roster.h"
#include "session/main_view.h"
#include "session/reconnect_policy.h"
#include "session/wolcon.h"
#include "transport/wolcon2.h"

namespace vantor {

class HostLookup;

// The main window's session: whether the user is logged on, the log-on and log-off flow and its
// results, the way back after a lost link, and its buddy list (a BuddyRoster). No Qt: it reports
// to a MainView, asks it for its timers, and takes its time from a clock tests turn by hand.
class MainSession : private RosterHost {
public:
    using Clock = std::function<double()>;  // seconds on a steady clock

    explicit MainSession(MainView& view);
    ~MainSession() override;
    MainSession(const MainSession&) = delete;
    MainSession& operator=(const MainSession&) = delete;

    LogOnStep Step() const { return step_; }
    bool LoggedOn() const override { return step_ == LogOnStep::Online; }
    bool Ended() const override { return step_ == LogOnStep::Ended; }
    const MainControls& Controls() const { return controls_; }
    const std::string& LogAs() const { return logAs_; }
    const std::string& Status() const { return status_; }

    WOLCon& WOL() override { return *wol_; }
    WolInfo& Credentials() { return credentials_; }
    ReconnectPolicy& Reconnect() { return reconnect_; }
    BuddyRoster& Buddies() { return roster_; }
    const BuddyRoster& Buddies() const { return roster_; }

    void SetClock(Clock clock);  // also the reconnect policy's; nullptr restores the steady clock

    // The log-in button: the dialog's answer (wire text); CANCEL while logging on.
    void LogOn(const std::string& nick, const std::string& password);
    void CancelLogOn();
    void LogOff();  // the LOGOUT click
    void End();     // the program ends: logs off first when logged on
    void Pump();    // BuffTimer: one receive pass of the main session
    // The lobby window opened or went.
    void ChatShown(bool open);
    // A line for the status line from elsewhere (a file that cannot be written).
    void SetStatus(const std::string& text) override;

private:
    class Closing;

    // The handlers of the session's events.
    void WOL_LogOnResult(LogOnResult result);
    void WOL_Error(ErrorCode code);

    // What the buddy list asks of its session.
    std::int32_t ServerIndex() const override { return serverIndex_; }
    std::optional<std::uint32_t> ServerAddress() const override;
    double Now() const override { return clock_(); }
    void ControlsChanged() override { ShowControls(); }
    void Tell(const Told& told) override;

    void ShowControls();
    void SetLogAs(const std::string& text);
    void ConnectAndLogOn();
    void ResetConnection();
    void QuitSession();
    void Reason(const std::string& sentence);
    std::string ErrorReason(ErrorCode code) const;

    void KeepLinkAlive();
    void MainLinkClosed();
    void LinkLost();
    void ReconnectTick();
    void ReconnectFailed();
    void ShowReconnectWait();
    bool ReconnectError(ErrorCode code);
    bool ReconnectAnswered(LogOnResult result);
    void LinkRestored();
    void CheckLogOnTime();

    MainView& view_;
    std::unique_ptr<WOLCon> wol_;
    WolInfo credentials_;
    std::unique_ptr<HostLookup> hostLookup_;  // the server's address, once per log-on
    ReconnectPolicy reconnect_;
    Clock clock_;

    LogOnStep step_ = LogOnStep::Offline;
    int closing_ = 0;  // our own QUIT and log-off under way: their errors are expected
    MainControls controls_;
    std::string logAs_ = "Not Connected";
    std::string status_;
    std::string reason_;  // why this log-on failed, for the status line once it is reset
    std::string target_;  // "host:port" of the log-on's connect
    bool chatOpen_ = false;
    std::int32_t serverIndex_ = 0;  // the server of the current log-on
    double userSentAt_ = -1;        // when the log-on's USER went out; -1: no log-on waits
    BuddyRoster roster_;            // after the controls it shares
    Liveness alive_;
};

}  // namespace vantor
