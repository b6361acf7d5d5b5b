// SPDX-License-Identifier: MIT
#include "chat/chat_ui.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QTime>
#include <QTreeWidget>
#include <any>

#include "chat/chat_lines.h"
#include "common/qt_text.h"
#include "common/wire_text.h"
#include "controls/attention.h"
#include "controls/history_view.h"
#include "controls/theme.h"
#include "session/conversation_log.h"
#include "session/wolcon.h"
#include "settings/settings_source.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

namespace {

QColor FromRgbWord(std::int32_t word) {
    return ColourFromBgr(static_cast<std::uint32_t>(word));
}

// Kind -1, 0, 1, 3, 4, 5 to its slot in ChatColours; -1 for kinds that keep the colour.
int ColourSlot(int kind) {
    switch (kind) {
        case ChatUI::kError:
            return 0;
        case ChatUI::kIn:
            return 1;
        case ChatUI::kOut:
            return 2;
        case ChatUI::kPrivate:
            return 3;
        case ChatUI::kEmote:
            return 4;
        case ChatUI::kNotify:
            return 5;
        default:
            return -1;
    }
}

// Sends through the session.
class WolLink final : public ChatLink {
public:
    explicit WolLink(WOLCon& wol) : wol_(wol) {}
    void send(std::string_view command, ReplySpec reply) override {
        wol_.send(command, std::move(reply));
    }
    InterceptRegistration RegisterIntercept(std::string code, std::shared_ptr<Callback> callback,
                                            Param param) override {
        return wol_.RegisterIntercept(std::move(code), std::move(callback), std::move(param));
    }

private:
    WOLCon& wol_;
};

constexpr std::array<std::string_view, 4> kIntercepts = {relayed::kPrivmsg, relayed::kJoin,
                                                         relayed::kPart, relayed::kQuit};

}  // namespace

ChatUI::ChatUI(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ChatUI"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vantor Desktop - Lobby Chat"));

    QPointer<ChatUI> self(this);
    ChatCB = MakeCallback([self](const std::string& line, Delivery kind, const Param& param) {
        if (self) self->ChatCB_Callback(line, kind, param);
    });

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

void ChatUI::SetWOL(WOLCon* wol) {
    wol_ = wol;
    wolLink_ = wol ? std::make_unique<WolLink>(*wol) : nullptr;
    link_ = wolLink_.get();
}

void ChatUI::SetLink(ChatLink* link) {
    wol_ = nullptr;
    wolLink_.reset();
    link_ = link;
}

void ChatUI::SetUser(std::string nick) {
    user_ = std::move(nick);
    log_.reset();  // the logs are kept by own nickname
    // Whole-word match: "bob" in "bobby" is someone else.
    ChatHistory->SetOwnNick(
        user_.empty() ? QRegularExpression()
                      : QRegularExpression(u"(?<![\\w\\[\\]{}|`^\\\\-])"_s +
                                               QRegularExpression::escape(FromWire(user_)) +
                                               u"(?![\\w\\[\\]{}|`^\\\\-])"_s,
                                           QRegularExpression::CaseInsensitiveOption));
}

void ChatUI::ConnectChat() {
    log_.reset();  // the rows are about to name other lobbies
    LobList->clear();
    currentLobby_ = 0;
    previousLobby_ = 0;
    StatusLabel->setText(QStringLiteral("Requesting lobby list..."));
    if (link_) {
        link_->send(ListCommand(), {.callback = ChatCB,
                                    .param = Param{int(kList)},
                                    .codes = {reply::kListItem},
                                    .start = reply::kListStart,
                                    .end = reply::kListEnd});
    }
}

void ChatUI::ChatCB_Callback(const std::string& line, Delivery status, const Param& param) {
    (void)status;  // the code in the line says what it is
    if (unloaded_) return;
    const int* request = std::any_cast<int>(&param);
    if (!request) return;
    const auto fields = SplitWords(line, 3);
    const std::string_view word = fields.size() > 1 ? fields[1] : std::string_view{};
    switch (*request) {
        case kList:
            if (word == reply::kListItem)
                OnLobbyList(line);
            else if (word == reply::kListEnd)
                OnListEnd();
            break;
        case kJoin:
            if (word == reply::kNames) {
                OnNames(line);
            } else if (word == reply::kNamesEnd) {
                ShowCount(currentLobby_, NickList->count());
            }
            break;
        case kMessage:
            OnMessage(line);
            break;
        case kJoined:
            OnJoin(line);
            break;
        case kLeft:
            OnPart(line);
            break;
        case kQuit:
            OnQuit(line);
            break;
        default:
            break;
    }
}

void ChatUI::OnLobbyList(const std::string& line) {
    const auto row = ParseLobbyRow(line);
    if (!row) return;
    auto* item = new QTreeWidgetItem(LobList);
    item->setText(0, FromWire(LobbyNames[size_t(row->number)]));
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(row->channel));
    item->setForeground(0, theme::kOrange);
    item->setForeground(1, theme::kOrange);
    item->setText(1, QStringLiteral("(%1)").arg(row->users));
}

void ChatUI::OnListEnd() {
    if (LobList->topLevelItemCount() == 0) {
        currentLobby_ = 0;
        StatusLabel->setText(QStringLiteral("No lobbies are open."));
        return;
    }
    // Counted wide: the largest value the setting holds has no next int.
    const std::int64_t wanted = std::int64_t{Settings().Get(setting::kChatInitialLobby)} + 1;
    // A lobby that is not listed (closed, or a stale setting) falls back to the first one.
    const int row = wanted < 1 || wanted > LobList->topLevelItemCount() ? 1 : int(wanted);
    currentLobby_ = row;
    QTreeWidgetItem* item = LobbyRow(row);
    QFont bold = item->font(0);
    bold.setBold(true);
    for (int c = 0; c < 2; ++c) {
        item->setFont(c, bold);
        item->setForeground(c, theme::kWhite);
    }
    if (link_ && intercepts_.empty()) {
        const int params[] = {kMessage, kJoined, kLeft, kQuit};
        for (size_t i = 0; i < kIntercepts.size(); ++i) {
            intercepts_.push_back(
                link_->RegisterIntercept(std::string(kIntercepts[i]), ChatCB, Param{params[i]}));
        }
    }
    JoinCurrent();
}

void ChatUI::JoinCurrent() {
    StatusLabel->setText(u"Joining channel "_s + LobbyText(currentLobby_) + u"..."_s);
    const std::string channel = LobbyChannel(currentLobby_);
    if (link_ && !channel.empty()) {
        link_->send(JoinCommand(channel), {.callback = ChatCB,
                                           .param = Param{int(kJoin)},
                                           .codes = {reply::kBadChannelKey},
                                           .start = reply::kNames,
                                           .end = reply::kNamesEnd});
    }
}

void ChatUI::OnNames(const std::string& line) {
    for (const NamesEntry& name : ParseNames(line)) AddNick(name.nick, name.op);
}

void ChatUI::OnMessage(const std::string& line) {
    const auto msg = ParseMessage(line);
    if (!msg) return;
    const QString sender = FromWire(msg->sender);
    const QString text = FromWire(msg->text);
    if (LowerCp1252(msg->target) == LowerCp1252(user_)) {
        NoteMessage(this, sender, text);
        AddEntry(kPrivate, sender + (msg->emote ? u" "_s : u": "_s), text, true);
    } else if (msg->emote) {
        AddEntry(kEmote, sender + u" "_s, text, true);
    } else {
        AddEntry(kIn, sender + u": "_s, text, true);
    }
}

void ChatUI::OnJoin(const std::string& line) {
    const std::string sender = SenderOf(line);
    if (sender.empty()) return;
    if (sender != user_) {
        AddNick(sender, false);
        ShowCount(currentLobby_, NickList->count());
        return;
    }
    if (!AddEntry(kNotify, QString(), u"Joined channel "_s + LobbyText(currentLobby_), false)) {
        return;
    }
    ShowCount(currentLobby_, NickList->count());
    chatActive_ = true;
    SetChatControls(true);
    StatusLabel->setText(QStringLiteral("Chat is active."));
}

void ChatUI::OnPart(const std::string& line) {
    const std::string sender = SenderOf(line);
    if (sender.empty()) return;
    if (sender != user_) {
        if (RemoveNick(sender)) ShowCount(currentLobby_, NickList->count());
        return;
    }
    // Parted without a move of ours (the service put us out): rejoin where we were.
    const int left = moving_ ? previousLobby_ : currentLobby_;
    moving_ = false;
    // Closed while the entry let events run: no new JOIN.
    if (!AddEntry(kNotify, QString(), u"Left channel "_s + LobbyText(left), false, left) ||
        unloaded_) {
        return;
    }
    ShowCount(left, std::max(0, NickList->count() - 1));
    NickList->clear();
    nickRows_.clear();
    chatActive_ = false;
    StatusLabel->setText(QStringLiteral("Chat is inactive."));
    SetChatControls(false);
    JoinCurrent();
}

void ChatUI::OnQuit(const std::string& line) {
    const std::string sender = SenderOf(line);
    // The count follows the list, so it stays true when users leave the service.
    if (!sender.empty() && RemoveNick(sender)) ShowCount(currentLobby_, NickList->count());
}

void ChatUI::LinkDown() {
    if (unloaded_ || linkDown_) return;
    linkDown_ = true;
    moving_ = false;
    chatActive_ = false;
    NickList->clear();
    nickRows_.clear();
    StatusLabel->setText(QStringLiteral("Chat is inactive."));
    AddEntry(kNotify, QString(), u"Connection lost."_s, false);
}

void ChatUI::LinkRestored() {
    if (unloaded_ || !linkDown_) return;
    linkDown_ = false;
    if (!AddEntry(kNotify, QString(), u"Reconnected."_s, false) || unloaded_) return;
    if (currentLobby_ > 0) {
        JoinCurrent();
    } else {
        ConnectChat();
    }
}

void ChatUI::MoveTo(QTreeWidgetItem* item) {
    if (!item) return;
    const int row = LobList->indexOfTopLevelItem(item) + 1;
    if (row < 1 || row == currentLobby_ || !chatActive_) return;
    chatActive_ = false;
    if (QTreeWidgetItem* old = LobbyRow(currentLobby_)) {
        QFont plain = old->font(0);
        plain.setBold(false);
        for (int c = 0; c < 2; ++c) {
            old->setFont(c, plain);
            old->setForeground(c, theme::kOrange);
        }
    }
    QFont bold = item->font(0);
    bold.setBold(true);
    for (int c = 0; c < 2; ++c) {
        item->setFont(c, bold);
        item->setForeground(c, theme::kWhite);
    }
    previousLobby_ = currentLobby_;
    currentLobby_ = row;
    moving_ = true;
    StatusLabel->setText(u"Leaving channel "_s + LobbyText(previousLobby_) + u"..."_s);
    if (link_) link_->send(PartCommand(LobbyChannel(previousLobby_)));
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
    if (logging_) LogEntry(row > 0 ? row : currentLobby_, head + body);

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

QTreeWidgetItem* ChatUI::LobbyRow(int row) const {
    if (row < 1 || row > LobList->topLevelItemCount()) return nullptr;
    return LobList->topLevelItem(row - 1);
}

QString ChatUI::LobbyText(int row) const {
    const QTreeWidgetItem* item = LobbyRow(row);
    return item ? item->text(0) : QString();
}

std::string ChatUI::LobbyChannel(int row) const {
    const QTreeWidgetItem* item = LobbyRow(row);
    return item ? item->data(0, Qt::UserRole).toByteArray().toStdString() : std::string();
}

void ChatUI::ShowCount(int row, int count) {
    if (QTreeWidgetItem* item = LobbyRow(row)) item->setText(1, QStringLiteral("(%1)").arg(count));
}

void ChatUI::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (link_) {
        const std::string channel = LobbyChannel(currentLobby_);
        if (!channel.empty() && !linkDown_) link_->send(PartCommand(channel));
    }
    intercepts_.clear();
    emit Closed();
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
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool press = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                           key->key() == Qt::Key_Enter;
        if (press && watched == NickList && NickList->currentItem()) {
            ToggleRecipient(NickList->currentItem());
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
