// SPDX-License-Identifier: MIT
// The main window when its connection is lost: telling the user, and logging on again.
#include <QLabel>
#include <QTimer>
#include <cmath>

#include "app/vantor_chat_ui.h"
#include "chat/chat_ui.h"
#include "controls/vantor_btn.h"
#include "diagnostics/debug_log.h"
#include "settings/settings_source.h"
#include "transport/wolcon2.h"

namespace vantor {

namespace {

using State = ReconnectPolicy::State;

void Note(const std::string& text) {
    DebugLog(Tag{std::string("M")}, text, kLogNote);
}

}  // namespace

void VantorChatUI::KeepLinkAlive() {
    if (!wol_->Interface().KeepAlive(kKeepAliveIdleSeconds, kKeepAliveIntervalSeconds,
                                     kKeepAliveProbes))
        Note("Keep-alive could not be set on the connection.");
}

// The receive pass found the main connection closed.
void VantorChatUI::MainLinkClosed() {
    if (reconnect_.GetState() == State::Attempting) {
        ReconnectFailed();
        return;
    }
    if (reconnect_.Active()) return;
    if (LoggedOn()) {
        LinkLost();
        return;
    }
    buffTimer_->stop();
    // Closed before the log-on finished: the log-in button is disabled while logging in, so
    // without this the user could never try again.
    if (!logInBtn_->Enabled()) ResetConnection();
}

void VantorChatUI::LinkLost() {
    Note("The connection to the server was lost.");
    TellWindows(true);
    if (Settings().Get(setting::kAutoReconnect) == 0) {
        LogOffClick();
        SetStatus(QStringLiteral("Connection lost."));
        return;
    }
    refBuddy_->stop();
    StopSearch();
    for (VantorBtn* b : {pageBud_, addBud_, delBud_, refreshBud_, reOrdBud_, chatBtn_})
        b->SetEnabled(false);
    logAs_->setText(QStringLiteral("Connection lost."));
    reconnect_.Start();
    ShowReconnectWait();
    buffTimer_->start();  // its ticks drive the attempts
}

void VantorChatUI::ReconnectTick() {
    if (!reconnect_.Active()) return;
    if (!reconnect_.Due()) {
        if (reconnect_.GetState() == State::Waiting) ShowReconnectWait();
        return;
    }
    Note("Logging on again, attempt " + std::to_string(reconnect_.Attempts()) + ".");
    SetStatus(QStringLiteral("Connection lost. Reconnecting..."));
    const std::int32_t port = Settings().Get(setting::kServerPort) + serverIndex_;
    // A failed connect has already been reported through Error.
    if (!wol_->connect(port)) return;
    KeepLinkAlive();
    wol_->LogOn(credentials_, false);  // the news was shown at the first log-on
}

void VantorChatUI::ReconnectFailed() {
    QuitSession();
    reconnect_.Failed();
    ShowReconnectWait();
}

void VantorChatUI::ShowReconnectWait() {
    const int seconds = static_cast<int>(std::ceil(reconnect_.SecondsLeft()));
    const QString text =
        QStringLiteral("Connection lost. Next attempt in %1 %2.")
            .arg(seconds)
            .arg(seconds == 1 ? QStringLiteral("second") : QStringLiteral("seconds"));
    if (status_->text() != text) SetStatus(text);
}

bool VantorChatUI::ReconnectError(ErrorCode code) {
    if (!reconnect_.Active()) return false;
    // The server meant it: no retry; the usual handling logs off and tells.
    if (code == ErrorCode::Server || code == ErrorCode::PasswordNeeded) {
        reconnect_.Cancel();
        if (code == ErrorCode::PasswordNeeded) LogOffClick();
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

bool VantorChatUI::ReconnectAnswered(LogOnResult result) {
    if (reconnect_.GetState() != State::Attempting) return false;
    if (result == LogOnResult::LoggedOn) {
        reconnect_.Succeeded();
        ClearBuddyList();  // the download that follows fills it afresh
        return true;
    }
    // Refused on the way back: no more retries, and the usual message after a clean log-off.
    reconnect_.Cancel();
    LogOffClick();
    return false;
}

void VantorChatUI::LinkRestored() {
    Note("Logged on again.");
    TellWindows(false);
}

void VantorChatUI::TellWindows(bool down) {
    wol_->Pages().SetLinkDown(down);
    wol_->Pages().NoticeAll(down ? "Connection lost." : "Reconnected.");
    if (auto* chat = qobject_cast<ChatUI*>(cht_.data())) {
        if (down) {
            chat->LinkDown();
        } else {
            chat->LinkRestored();
        }
    }
}

}  // namespace vantor
