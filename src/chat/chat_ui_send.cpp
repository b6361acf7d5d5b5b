// SPDX-License-Identifier: MIT
// The lobby chat window's send path and users list: the send box, the members drawn as the
// lobby reports them (bold rows are the recipients), the log of each lobby.
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

#include "chat/chat_ui.h"
#include "common/qt_text.h"
#include "controls/send_box_keys.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "session/conversation_log.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kKeyRole = Qt::UserRole;  // nick list: the member's key (wire bytes)

// A small round mark for operators; drawn here so it needs no artwork.
QIcon OperatorMark() {
    QPixmap pix(12, 12);
    pix.fill(Qt::transparent);
    QPainter painter(&pix);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(theme::kGold);
    painter.drawEllipse(2, 2, 8, 8);
    return QIcon(pix);
}

}  // namespace

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

void ChatUI::ToggleRecipient(QListWidgetItem* item) {
    if (item) lobby_->ToggleRecipient(item->data(kKeyRole).toByteArray().toStdString());
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

void ChatUI::MembersCleared() {
    NickList->clear();
    nickRows_.clear();
}

void ChatUI::MemberAdded(const std::string& key, const LobbyMember& member, bool atTop) {
    auto* item = new QListWidgetItem(FromWire(member.nick));
    item->setData(kKeyRole, QByteArray::fromStdString(key));
    nickRows_.emplace(key, item);
    if (member.op) {
        static const QIcon mark = OperatorMark();
        item->setIcon(mark);
        item->setForeground(theme::kWhite);
        item->setToolTip(QStringLiteral("Operator"));
        item->setData(Qt::AccessibleDescriptionRole, QStringLiteral("operator"));
    }
    if (atTop) {
        NickList->insertItem(0, item);
    } else {
        NickList->addItem(item);
    }
}

void ChatUI::MemberRemoved(const std::string& key) {
    const auto it = nickRows_.find(key);
    if (it == nickRows_.end()) return;
    QListWidgetItem* item = it->second;
    nickRows_.erase(it);
    delete NickList->takeItem(NickList->row(item));
}

// A recipient is bold and white; an operator is white anyway.
void ChatUI::MemberChanged(const std::string& key, const LobbyMember& member) {
    const auto it = nickRows_.find(key);
    if (it == nickRows_.end()) return;
    QListWidgetItem* item = it->second;
    QFont font = item->font();
    font.setBold(member.recipient);
    item->setFont(font);
    item->setText(FromWire(member.nick));
    if (!member.op) item->setForeground(member.recipient ? theme::kWhite : theme::kOrange);
}

}  // namespace vantor
