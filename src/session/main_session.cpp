// SPDX-License-Identifier: MIT
// The main session's log-on and log-off, its errors, and the way back after a lost link.
#include "session/main_session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "common/wire_text.h"
#include "diagnostics/debug_log.h"
#include "platform/socket_layer.h"
#include "settings/settings_source.h"
#include "transport/wolcon2.h"

namespace vantor {

namespace {

using State = ReconnectPolicy::State;

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Note(const std::string& text) {
    DebugLog(Tag{std::string("M")}, text, kLogNote);
}

}  // namespace

// Our own QUIT (and a log-off, whose closing lobby sends PART) on a link that is already gone
// fails to send; that failure is the goodbye itself, not news.
class MainSession::Closing {
public:
    explicit Closing(MainSession& session) : session_(session) { ++session_.closing_; }
    ~Closing() { --session_.closing_; }
    Closing(const Closing&) = delete;
    Closing& operator=(const Closing&) = delete;

private:
    MainSession& session_;
};

MainSession::MainSession(MainView& view)
    : view_(view),
      wol_(std::make_unique<WOLCon>()),
      clock_(&SteadySeconds),
      roster_(*this, view, controls_) {
    wol_->SetTag(Tag{std::string("M")});
    wol_->LogOnResult = [this](LogOnResult result) { WOL_LogOnResult(result); };
    wol_->Error = [this](ErrorCode code) { WOL_Error(code); };
    wol_->BuddyListResult = [this](const std::string& list, int result) {
        roster_.WOL_BuddyListResult(list, result);
    };
    wol_->SetMotdPresenter([this](const std::string& news) { view_.ShowMotd(news); });
    // "Pages from buddies only" asks the list as it stands.
    wol_->Pages().SetBuddyCheck([this](std::string_view nick) {
        const std::string key = LowerCp1252(nick);
        const std::vector<BuddyRow>& rows = roster_.Rows();
        return std::any_of(rows.begin(), rows.end(),
                           [&](const BuddyRow& row) { return LowerCp1252(row.nick) == key; });
    });
    credentials_.NickName = Settings().Get(setting::kLastNickName);
}

MainSession::~MainSession() {
    // Session events must not reach a half-destroyed session.
    wol_->LogOnResult = nullptr;
    wol_->Error = nullptr;
    wol_->BuddyListResult = nullptr;
    wol_->SetMotdPresenter(nullptr);
    wol_->Pages().SetBuddyCheck(nullptr);
}

void MainSession::SetClock(Clock clock) {
    clock_ = clock ? std::move(clock) : Clock(&SteadySeconds);
    reconnect_.SetClock(clock_);
}

void MainSession::ShowControls() {
    view_.ShowControls(controls_);
}

void MainSession::SetLogAs(const std::string& text) {
    logAs_ = text;
    view_.ShowLogAs(text);
}

void MainSession::SetStatus(const std::string& text) {
    status_ = text;
    view_.ShowStatus(text);
}

void MainSession::Tell(const Told& told) {
    if (!Ended()) view_.Tell(told);
}

std::optional<std::uint32_t> MainSession::ServerAddress() const {
    return hostLookup_ && hostLookup_->Ready() ? hostLookup_->Address() : std::nullopt;
}

void MainSession::ChatShown(bool open) {
    chatOpen_ = open;
    controls_.chat = !open && LoggedOn();
    ShowControls();
}

void MainSession::LogOn(const std::string& nick, const std::string& password) {
    if (LoggedOn() || Ended()) return;
    reason_.clear();
    if (Settings().Get(setting::kLogOnCancel) != 0) {
        controls_.word = LogInWord::Cancel;
    } else {
        controls_.logIn = false;
    }
    ShowControls();
    Settings().Set(setting::kLastNickName, nick);
    credentials_.NickName = nick;
    credentials_.Password = password;
    SetLogAs("Connecting...");
    SetStatus("Connecting...");
    step_ = LogOnStep::Connecting;
    // Looked up once per log-on, away from the window, and reused by the location search.
    hostLookup_ = std::make_unique<HostLookup>(Settings().Get(setting::kServerHost));
    ConnectAndLogOn();
}

void MainSession::ConnectAndLogOn() {
    if (Ended() || !hostLookup_) return;
    if (!hostLookup_->Ready()) {
        view_.Later(20, [this, alive = alive_.watch()] {
            if (alive()) ConnectAndLogOn();
        });
        return;
    }
    step_ = LogOnStep::LoggingOn;
    serverIndex_ = Settings().Get(setting::kServer);
    const std::int32_t port = Settings().Get(setting::kServerPort) + serverIndex_;
    target_ = Settings().Get(setting::kServerHost) + ":" + std::to_string(port);
    // The one connect that waits, bounded by its time-out; the window says so meanwhile.
    view_.Waiting(true);
    const bool connected = wol_->connect(port, hostLookup_->Address());
    view_.Waiting(false);
    // A failed connect has already been reported through Error; do not poll a dead socket.
    if (connected) {
        KeepLinkAlive();
        view_.SetTimer(MainTimer::Receive, true);
    }
    wol_->LogOn(credentials_, Settings().Get(setting::kShowMotd) != 0);
    if (step_ == LogOnStep::LoggingOn) userSentAt_ = clock_();

    // A log-on that failed on the way has said why; the classic texts ignore that.
    if (step_ != LogOnStep::LoggingOn && Settings().Get(setting::kStatusReasons) != 0) return;
    SetLogAs("Logging in...");
    SetStatus("Logging in...");
}

void MainSession::CancelLogOn() {
    if (step_ != LogOnStep::Connecting && step_ != LogOnStep::LoggingOn) return;
    Note("The log-on was cancelled.");
    hostLookup_.reset();
    ResetConnection();
}

void MainSession::LogOff() {
    const Closing closing(*this);
    reconnect_.Cancel();
    controls_.logIn = false;
    roster_.LoggingOff();

    view_.LoggingOff();
    wol_->CloseAllPageWin();
    wol_->Pages().SetLinkDown(false);
    controls_.chat = false;
    ShowControls();
    SetLogAs("Disconnecting...");
    SetStatus("Disconnecting...");
    view_.SetTimer(MainTimer::Receive, false);

    roster_.StopSearch();
    QuitSession();

    roster_.LoggedOff();
    SetLogAs("Not Connected.");
    SetStatus("");
    if (!Ended()) step_ = LogOnStep::Offline;
    controls_.word = LogInWord::Log;
    controls_.logIn = true;
    ShowControls();
}

void MainSession::End() {
    if (Ended()) return;
    if (LoggedOn()) LogOff();
    step_ = LogOnStep::Ended;
}

void MainSession::ResetConnection() {
    if (!Ended()) step_ = LogOnStep::Offline;
    userSentAt_ = -1;
    controls_.logIn = true;
    if (controls_.word == LogInWord::Cancel) controls_.word = LogInWord::Log;
    ShowControls();
    SetLogAs("Not Connected.");
    SetStatus(Settings().Get(setting::kStatusReasons) != 0 ? reason_ : "");
    view_.SetTimer(MainTimer::Receive, false);
    QuitSession();
}

void MainSession::QuitSession() {
    const Closing closing(*this);
    wol_->Quit();
}

// The first failure of a log-on says why it failed; what follows from it does not.
void MainSession::Reason(const std::string& sentence) {
    if (reason_.empty() && Settings().Get(setting::kStatusReasons) != 0) reason_ = sentence;
}

std::string MainSession::ErrorReason(ErrorCode code) const {
    switch (code) {
        case ErrorCode::ConnectFailed: {
            const bool noAddress = hostLookup_ && hostLookup_->Ready() && !hostLookup_->Address();
            std::string why = "the connection failed";
            switch (noAddress ? ConnectFailure::NoHost : LastConnectFailure()) {
                case ConnectFailure::Refused:
                    why = "connection refused";
                    break;
                case ConnectFailure::TimedOut:
                    why = "the connection timed out";
                    break;
                case ConnectFailure::Unreachable:
                    why = "the host cannot be reached";
                    break;
                case ConnectFailure::NoHost:
                    why = "the host was not found";
                    break;
                case ConnectFailure::None:
                case ConnectFailure::Other:
                    break;
            }
            return "Could not connect to " + target_ + ": " + why + ".";
        }
        case ErrorCode::SocketCreate:
            return "Could not connect to " + target_ + ": no socket could be made.";
        case ErrorCode::SendFailed:
            return "Sending failed: the connection was closed.";
        case ErrorCode::NotConnected:
            return "Sending failed: not connected to the server.";
        case ErrorCode::Server:
            return "The server closed the connection.";
        case ErrorCode::PasswordNeeded:
            return "";
    }
    return "The connection failed (error " + std::to_string(Number(code)) + ").";
}

void MainSession::WOL_LogOnResult(LogOnResult result) {
    const bool again = ReconnectAnswered(result);
    switch (result) {
        case LogOnResult::LoggedOn:
            userSentAt_ = -1;
            reason_.clear();
            SetLogAs(credentials_.NickName);
            SetStatus("Welcome to Westwood Online!");
            if (!Ended()) step_ = LogOnStep::Online;
            controls_.word = LogInWord::Logout;
            controls_.logIn = true;
            controls_.chat = !chatOpen_;
            ShowControls();
            roster_.LoggedOn();
            wol_->send(command::kSetCodePage);
            wol_->send(command::kSetOptions);
            wol_->GetBuddies();
            if (again) LinkRestored();
            break;
        case LogOnResult::NicknameInUse:
            Tell({.message = MainMessage::NicknameInUse});
            ResetConnection();
            break;
        case LogOnResult::NoNickname:
            Tell({.message = MainMessage::NoNickname});
            ResetConnection();
            break;
    }
}

void MainSession::WOL_Error(ErrorCode code) {
    if (closing_ > 0 || Ended()) {
        Note("Error " + std::to_string(Number(code)) + " while closing the connection.");
        return;
    }
    if (ReconnectError(code)) return;
    if (code == ErrorCode::PasswordNeeded) {
        ResetConnection();
        Tell({.message = MainMessage::PasswordIncorrect});
        // Asked again once the receive pass that brought the refusal has unwound.
        view_.Later(0, [this, alive = alive_.watch()] {
            if (alive() && step_ == LogOnStep::Offline) view_.AskLogOn();
        });
        return;
    }
    // A running reorder names the error in its own box, with what becomes of its buddies.
    const bool reorderTells = view_.TellReorder(code);
    // The server's reason ("Killed by admin") says more than the code; read it before the reset.
    const std::string reason = code == ErrorCode::Server ? wol_->Interface().LastErrorReason() : "";
    const std::string sentence = ErrorReason(code);
    const bool wasOnline = LoggedOn();
    if (wasOnline) {
        LogOff();
    } else {
        Reason(sentence);
        ResetConnection();
    }
    if (!reason.empty()) {
        DebugLog(Tag{std::string("M")}, "Server error: " + reason, kLogError);
        SetStatus(reason);
    } else if (wasOnline && Settings().Get(setting::kStatusReasons) != 0) {
        SetStatus(sentence);
    }
    if (reorderTells) return;
    Tell({.message = MainMessage::Error, .code = code});
}

void MainSession::Pump() {
    ReconnectTick();
    // A box raised from a handler runs a nested event loop in which the receive timer keeps
    // ticking; the session's pass must not run inside itself, nor anything that would end it.
    if (wol_->InPass()) return;
    const auto alive = alive_.watch();
    if (wol_->PopulateBuff() == PassResult::Closed) {
        view_.TellReorder(std::nullopt);
        MainLinkClosed();
    }
    if (!alive()) return;
    CheckLogOnTime();
    roster_.Tick();
}

// A log-on the service never finishes is given up, as if it had been refused; on the way back
// after a lost link it counts as a failed attempt.
void MainSession::CheckLogOnTime() {
    if (userSentAt_ < 0) return;
    const bool again = reconnect_.GetState() == State::Attempting;
    if (!again && step_ != LogOnStep::LoggingOn) return;
    const std::int32_t limit = Settings().Get(setting::kLogOnTimeout);
    if (limit <= 0 || clock_() - userSentAt_ < limit) return;
    userSentAt_ = -1;
    const std::string text = "The server did not finish the log-on within " +
                             std::to_string(limit) + (limit == 1 ? " second." : " seconds.");
    Note(text);
    if (again) {
        ReconnectFailed();
        return;
    }
    ResetConnection();
    SetStatus(text);
}

void MainSession::KeepLinkAlive() {
    if (!wol_->Interface().KeepAlive(kKeepAliveIdleSeconds, kKeepAliveIntervalSeconds,
                                     kKeepAliveProbes))
        Note("Keep-alive could not be set on the connection.");
}

// The receive pass found the main connection closed.
void MainSession::MainLinkClosed() {
    if (reconnect_.GetState() == State::Attempting) {
        ReconnectFailed();
        return;
    }
    if (reconnect_.Active()) return;
    if (LoggedOn()) {
        LinkLost();
        return;
    }
    view_.SetTimer(MainTimer::Receive, false);
    // Closed before the log-on finished: without this the user could never try again.
    if (step_ == LogOnStep::Connecting || step_ == LogOnStep::LoggingOn) {
        Reason("The server closed the connection during log-on.");
        ResetConnection();
    }
}

void MainSession::LinkLost() {
    Note("The connection to the server was lost.");
    view_.LinkChanged(true);
    if (Settings().Get(setting::kAutoReconnect) == 0) {
        LogOff();
        SetStatus("Connection lost.");
        return;
    }
    roster_.LinkLost();
    controls_.chat = false;
    ShowControls();
    SetLogAs("Connection lost.");
    reconnect_.SetStableTime(Settings().Get(setting::kReconnectStableSeconds));
    reconnect_.Start();
    ShowReconnectWait();
    view_.SetTimer(MainTimer::Receive, true);  // its ticks drive the attempts
}

void MainSession::ReconnectTick() {
    if (!reconnect_.Active()) return;
    if (!reconnect_.Due()) {
        if (reconnect_.GetState() == State::Waiting) ShowReconnectWait();
        return;
    }
    Note("Logging on again, attempt " + std::to_string(reconnect_.Attempts()) + ".");
    SetStatus("Connection lost. Reconnecting...");
    const std::int32_t port = Settings().Get(setting::kServerPort) + serverIndex_;
    // A failed connect has already been reported through Error.
    if (!wol_->connect(port)) return;
    KeepLinkAlive();
    wol_->LogOn(credentials_, false);  // the news was shown at the first log-on
    userSentAt_ = clock_();
}

void MainSession::ReconnectFailed() {
    QuitSession();
    reconnect_.Failed();
    ShowReconnectWait();
}

void MainSession::ShowReconnectWait() {
    const int seconds = static_cast<int>(std::ceil(reconnect_.SecondsLeft()));
    const std::string text = "Connection lost. Next attempt in " + std::to_string(seconds) +
                             (seconds == 1 ? " second." : " seconds.");
    if (status_ != text) SetStatus(text);
}

// True when the error belongs to the way back.
bool MainSession::ReconnectError(ErrorCode code) {
    if (!reconnect_.Active()) return false;
    // The server meant it: no retry; the usual handling logs off and tells.
    if (code == ErrorCode::Server || code == ErrorCode::PasswordNeeded) {
        reconnect_.Cancel();
        if (code == ErrorCode::PasswordNeeded) LogOff();
        return false;
    }
    if (reconnect_.GetState() == State::Attempting) {
        ReconnectFailed();
    } else {
        // A window's send while the link is down: the windows have refused it already.
        Note("Error " + std::to_string(Number(code)) + " while the connection is down.");
    }
    return true;
}

// True when this log-on was a reconnect.
bool MainSession::ReconnectAnswered(LogOnResult result) {
    if (reconnect_.GetState() != State::Attempting) return false;
    if (result == LogOnResult::LoggedOn) {
        reconnect_.Succeeded();
        roster_.LinkBack();
        return true;
    }
    // Refused on the way back: no more retries, and the usual message after a clean log-off.
    reconnect_.Cancel();
    LogOff();
    return false;
}

void MainSession::LinkRestored() {
    Note("Logged on again.");
    view_.LinkChanged(false);
}

}  // namespace vantor
