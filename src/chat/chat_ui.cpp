// SPDX-License-Identifier: MIT
#include "chat/chat_ui.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QTime>
#include <QTimer>
#include <QTreeWidget>

#include "chat/member_model.h"
#include "common/qt_text.h"
#include "controls/attention.h"
#include "controls/history_view.h"
#include "controls/theme.h"
#include "session/conversation_log.h"
#include "settings/settings_source.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

namespace {

QColor FromRgbWord(std::int32_t word) {
    return ColourFromBgr(static_cast<std::uint32_t>(word));
}

// An entry kind to its slot in ChatColours; -1 for kinds that keep the colour.
int ColourSlot(int kind) {
    switch (EntryKind(kind)) {
        case EntryKind::Error:
            return 0;
        case EntryKind::In:
            return 1;
        case EntryKind::Out:
            return 2;
        case EntryKind::Private:
            return 3;
        case EntryKind::Emote:
            return 4;
        case EntryKind::Notify:
            return 5;
    }
    return -1;
}

void SetRowLook(QTreeWidgetItem* item, bool current) {
    QFont font = item->font(0);
    font.setBold(current);
    for (int c = 0; c < 2; ++c) {
        item->setFont(c, font);
        item->setForeground(c, current ? theme::kWhite : theme::kOrange);
    }
}

}  // namespace

ChatUI::ChatUI(QWidget* parent)
    : QWidget(parent), lobby_(std::make_unique<Lobby>(static_cast<LobbyView&>(*this))) {
    setObjectName(QStringLiteral("ChatUI"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vantor Desktop - Lobby Chat"));
    BuildControls();
    ReadColours();
}

ChatUI::~ChatUI() = default;

void ChatUI::ReadColours() {
    SettingsSource& settings = Settings();
    ChatColours[0] = FromRgbWord(settings.Get(setting::kChatColError));
    ChatColours[1] = FromRgbWord(settings.Get(setting::kChatColIn));
    ChatColours[2] = FromRgbWord(settings.Get(setting::kChatColOut));
    ChatColours[3] = FromRgbWord(settings.Get(setting::kChatColPrivate));
    ChatColours[4] = FromRgbWord(settings.Get(setting::kChatColEmote));
    ChatColours[5] = FromRgbWord(settings.Get(setting::kChatColNotify));
    timeStamps_ = settings.Get(setting::kChatTimeStamps) != 0;
    logging_ = settings.Get(setting::kLogConversations) != 0;
    entryColour_ = ChatColours[1];
}

void ChatUI::SetWOL(std::shared_ptr<ChatLink> link) {
    lobby_->SetWOL(std::move(link));
}

void ChatUI::SetUser(std::string nick) {
    lobby_->SetUser(std::move(nick));
    MarkOwnNick();
}

void ChatUI::UserRenamed() {
    MarkOwnNick();
}

void ChatUI::MarkOwnNick() {
    log_.reset();  // the logs are kept by own nickname
    const std::string& user = lobby_->User();
    // Whole-word match: "bob" in "bobby" is someone else.
    ChatHistory->SetOwnNick(
        user.empty() ? QRegularExpression()
                     : QRegularExpression(u"(?<![\\w\\[\\]{}|`^\\\\-])"_s +
                                              QRegularExpression::escape(FromWire(user)) +
                                              u"(?![\\w\\[\\]{}|`^\\\\-])"_s,
                                          QRegularExpression::CaseInsensitiveOption));
}

void ChatUI::ConnectChat() {
    log_.reset();  // the rows are about to name other lobbies
    lobby_->ConnectChat();
}

void ChatUI::LinkDown() {
    lobby_->LinkDown();
}

void ChatUI::LinkRestored() {
    lobby_->LinkRestored();
}

void ChatUI::Entry(const LobbyEntry& entry) {
    if (entry.toUser) NoteMessage(this, FromWire(entry.sender), FromWire(entry.body));
    AddEntry(int(entry.kind), FromWire(entry.head), FromWire(entry.body), entry.fromOthers,
             entry.row);
}

void ChatUI::Status(const std::string& text) {
    StatusLabel->setText(FromWire(text));
}

// The rows are only ever appended to or cleared, and redrawn from the lobby as they stand.
// Drawing the members first leaves no count behind waiting for the pass to end.
void ChatUI::LobbiesChanged() {
    CatchUpLists();
    const auto& rows = lobby_->Lobbies();
    if (LobList->topLevelItemCount() > int(rows.size())) LobList->clear();
    for (int i = LobList->topLevelItemCount(); i < int(rows.size()); ++i) {
        auto* item = new QTreeWidgetItem(LobList);
        item->setText(0, FromWire(rows[std::size_t(i)].name));
    }
    for (int i = 0; i < int(rows.size()); ++i) {
        QTreeWidgetItem* item = LobList->topLevelItem(i);
        item->setText(1, QStringLiteral("(%1)").arg(rows[std::size_t(i)].users));
        SetRowLook(item, i + 1 == lobby_->CurrentLobby());
    }
}

void ChatUI::MembersChanged() {
    if (!listsDue_->isActive()) listsDue_->start();
}

void ChatUI::CatchUpLists() {
    if (!listsDue_->isActive()) return;
    listsDue_->stop();
    DrawLists();
}

void ChatUI::DrawLists() {
    members_->Show(lobby_->Members(), NickList);
    const auto& rows = lobby_->Lobbies();
    for (int i = 0; i < int(rows.size()) && i < LobList->topLevelItemCount(); ++i) {
        LobList->topLevelItem(i)->setText(1,
                                          QStringLiteral("(%1)").arg(rows[std::size_t(i)].users));
    }
}

void ChatUI::MoveTo(QTreeWidgetItem* item) {
    if (item) lobby_->MoveTo(LobList->indexOfTopLevelItem(item) + 1);
}

void ChatUI::AddChat(int kind, const QString& text) {
    AddEntry(kind, QString(), text, false);
}

bool ChatUI::AddEntry(int kind, const QString& head, const QString& body, bool markOwnNick,
                      int row) {
    const int slot = ColourSlot(kind);
    if (slot >= 0) entryColour_ = ChatColours[size_t(slot)];
    const QString stamp = timeStamps_ ? Stamp() : QString();
    NoteUnread(this);
    if (logging_) LogEntry(row > 0 ? row : lobby_->CurrentLobby(), head + body);

    // Taken before events run, so an entry added meanwhile (a line the user sends) follows it.
    // A close among those events deletes the window, and the box with it, at once.
    return ChatHistory->Append({.head = OneLine(stamp + head),
                                .body = CutForDisplay(OneLine(body)),
                                .colour = entryColour_,
                                .markOwnNick = markOwnNick});
}

void ChatUI::CatchUpHistory() {
    ChatHistory->CatchUp();
}

// The local time costs a time-zone look-up; it is taken once a minute, not once an entry.
QString ChatUI::Stamp() {
    const qint64 minute = QDateTime::currentMSecsSinceEpoch() / 60000;
    if (minute != stampMinute_) {
        stampMinute_ = minute;
        stamp_ = QTime::currentTime().toString(QStringLiteral("[HH:mm] "));
    }
    return stamp_;
}

void ChatUI::Unload() {
    if (lobby_->Closed()) return;
    const QPointer<ChatUI> self(this);
    lobby_->Close();  // talks to the session, whose debug log may let events run
    if (self) emit Closed();
}

void ChatUI::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();
}

void ChatUI::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) SetSendFocus();
}

// Space or Enter on a list row acts like a click on it, so the lists work without a mouse.
bool ChatUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == NickList && NickListMenuKey(event)) return true;
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool press = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                           key->key() == Qt::Key_Enter;
        if (press && watched == NickList && NickList->currentIndex().isValid()) {
            ToggleRecipient(NickList->currentIndex());
            return true;
        }
        if (press && watched == LobList && LobList->currentItem()) {
            MoveTo(LobList->currentItem());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vantor
