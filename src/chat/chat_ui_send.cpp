// SPDX-License-Identifier: MIT
// The lobby chat window's send path: the send box, the recipients chosen in the users list, the
// log of each lobby.
#include <QLineEdit>
#include <QTimer>

#include "chat/chat_ui.h"
#include "chat/member_model.h"
#include "common/qt_text.h"
#include "common/wire_text.h"
#include "controls/send_box_keys.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "session/conversation_log.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

void ChatUI::SetSendFocus() {
    if (SendBox->isEnabled()) SendBox->setFocus(Qt::OtherFocusReason);
}

void ChatUI::SendText(bool emote) {
    if (SendBox->text().isEmpty() || lobby_->RefuseSend()) return;
    // Refused lines stay in the box, so the user can send them once they can go.
    if (!FitsWire(SendBox->text())) {
        AddChat(int(EntryKind::Notify), kCannotSend.toString());
        return;
    }
    const std::string text = ToWire(SendBox->text());
    keys_->Sent(SendBox->text());
    SendBox->clear();
    SendBox->setFocus(Qt::OtherFocusReason);
    lobby_->Send(text, emote);
}

// Each lobby has a log of its own; the file follows the lobby the entry belongs to. A flood's
// entries are written together once the work at hand is done: a write per line would cost more
// than showing it.
void ChatUI::LogEntry(int row, const QString& text) {
    if (!log_ || row != logRow_) {
        const LobbyInfo* lobby = lobby_->Row(row);
        if (!lobby || lobby->channel.empty() || User().empty()) return;
        log_ = std::make_unique<ConversationLog>(LogPath(LogRoot(), User(), lobby->channel),
                                                 ConversationLog::Writes::kOnFlush);
        logRow_ = row;
    }
    const QByteArray utf8 = text.toUtf8();
    log_->Append(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    // A timer, not a posted call: a flood lets events run at once when something was posted.
    if (!logFlush_) {
        logFlush_ = new QTimer(this);
        logFlush_->setSingleShot(true);
        logFlush_->setInterval(0);
        connect(logFlush_, &QTimer::timeout, this, [this] {
            if (log_) log_->Flush();
        });
    }
    if (!logFlush_->isActive()) logFlush_->start();
}

QStringList ChatUI::Nicknames() const {
    QStringList names;
    names.reserve(qsizetype(lobby_->MemberCount()));
    for (const LobbyMember& member : lobby_->Members()) names.push_back(FromWire(member.nick));
    return names;
}

// A click is drawn at once; it does not wait for a receive pass.
void ChatUI::ToggleRecipient(const QModelIndex& index) {
    const LobbyMember* member = members_->At(index.row());
    if (!member) return;
    lobby_->ToggleRecipient(LowerCp1252(member->nick));
    CatchUpLists();
}

void ChatUI::ChatControls(bool active) {
    SendBox->setEnabled(active);
    QPalette boxPalette = SendBox->palette();
    const QColor back = active ? theme::kBlack : theme::kDarkGrey;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        boxPalette.setColor(group, QPalette::Base, back);
        boxPalette.setColor(group, QPalette::Text, theme::kWhite);
    }
    SendBox->setPalette(boxPalette);
    SendBtn->SetEnabled(active);
    EmoteBtn->SetEnabled(active);
}

}  // namespace vantor
