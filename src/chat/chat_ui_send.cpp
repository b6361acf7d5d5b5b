// SPDX-License-Identifier: MIT
// The lobby chat window's send path: the send box, the users list whose bold rows are the
// recipients, emotes and the notices of a line that is refused.
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

#include "chat/chat_lines.h"
#include "chat/chat_ui.h"
#include "common/qt_text.h"
#include "common/wire_text.h"
#include "controls/send_box_keys.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "session/conversation_log.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kKeyRole = Qt::UserRole;       // nick list: lower-cased nickname (wire bytes)
constexpr int kOpRole = Qt::UserRole + 1;    // nick list: came with a leading "@"
constexpr int kWireRole = Qt::UserRole + 2;  // nick list: the nickname as the wire spells it

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
    if (unloaded_ || SendBox->text().isEmpty()) return;
    // Refused lines stay in the box, so the user can send them once they can go.
    if (linkDown_) {
        AddEntry(kNotify, QString(), u"Not connected: the line was not sent."_s, false);
        return;
    }
    if (!FitsWire(SendBox->text())) {
        AddEntry(kNotify, QString(), kCannotSend.toString(), false);
        return;
    }
    const std::string text = ToWire(SendBox->text());
    keys_->Sent(SendBox->text());
    SendBox->clear();
    SendBox->setFocus(Qt::OtherFocusReason);

    std::string target;
    for (int i = 0; i < NickList->count(); ++i) {
        const QListWidgetItem* item = NickList->item(i);
        if (!item->font().bold()) continue;
        if (!target.empty()) target += ',';
        target += item->data(kWireRole).toByteArray().toStdString();
    }
    const bool privately = !target.empty();
    if (!privately) target = LobbyChannel(currentLobby_);
    if (target.empty()) return;

    const int kind = privately ? kPrivate : (emote ? kEmote : kOut);
    const std::string command = emote ? EmoteCommand(target, text) : MessageCommand(target, text);
    if (!AddEntry(kind, FromWire(user_) + (emote ? u" "_s : u": "_s), FromWire(text), false)) {
        return;
    }
    if (link_ && !unloaded_) link_->send(command);
}

// Each lobby has a log of its own; the file follows the lobby the entry belongs to. A flood's
// entries are written together once the work at hand is done: a write per line would cost more
// than showing it.
void ChatUI::LogEntry(int row, const QString& text) {
    if (!log_ || row != logRow_) {
        const std::string channel = LobbyChannel(row);
        if (channel.empty() || user_.empty()) return;
        log_ = std::make_unique<ConversationLog>(LogPath(LogRoot(), user_, channel),
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
    names.reserve(NickList->count());
    for (int i = 0; i < NickList->count(); ++i) names.push_back(NickList->item(i)->text());
    return names;
}

void ChatUI::ToggleRecipient(QListWidgetItem* item) {
    if (!item) return;
    QFont font = item->font();
    font.setBold(!font.bold());
    item->setFont(font);
    if (!item->data(kOpRole).toBool())
        item->setForeground(font.bold() ? theme::kWhite : theme::kOrange);
}

void ChatUI::SetChatControls(bool active) {
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

QListWidgetItem* ChatUI::FindNick(const std::string& key) const {
    const auto it = nickRows_.find(key);
    return it != nickRows_.end() ? it->second : nullptr;
}

void ChatUI::AddNick(const std::string& nick, bool op) {
    const std::string key = LowerCp1252(nick);
    if (FindNick(key)) return;  // one entry per user, however often the service names them
    auto* item = new QListWidgetItem(FromWire(nick));
    item->setData(kKeyRole, QByteArray::fromStdString(key));
    item->setData(kOpRole, op);
    item->setData(kWireRole, QByteArray::fromStdString(nick));
    nickRows_.emplace(key, item);
    if (op) {
        static const QIcon mark = OperatorMark();
        item->setIcon(mark);
        item->setForeground(theme::kWhite);
        item->setToolTip(QStringLiteral("Operator"));
        item->setData(Qt::AccessibleDescriptionRole, QStringLiteral("operator"));
        NickList->insertItem(0, item);
    } else {
        NickList->addItem(item);
    }
}

bool ChatUI::RemoveNick(const std::string& nick) {
    const std::string key = LowerCp1252(nick);
    QListWidgetItem* item = FindNick(key);
    if (!item) return false;
    nickRows_.erase(key);
    delete NickList->takeItem(NickList->row(item));
    return true;
}

}  // namespace vantor
