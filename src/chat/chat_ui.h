// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "chat/chat_link.h"
#include "chat/lobby.h"
#include "chat/lobby_view.h"

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QModelIndex;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantor {

class ConversationLog;
class HistoryView;
class MemberModel;
class SendBoxKeys;
class VantorBtn;

// The lobby chat window: the lobby list, the users of the current lobby and the conversation.
// The lobby core (Lobby) keeps the state and talks to the service; the window draws what it
// reports and hands it the user's clicks and lines.
//
// Lifetime: the window deletes itself when it closes (Qt::WA_DeleteOnClose, released with
// deleteLater), after its lobby has sent the PART and removed its intercepts and it has raised
// Closed. The owner keeps at most a QPointer and drops it on Closed. Close the window before its
// session is destroyed: closing talks to the session.
class ChatUI : public QWidget, private LobbyView {
    Q_OBJECT

public:
    explicit ChatUI(QWidget* parent = nullptr);
    ~ChatUI() override;

    // The way to the service: the session's (ChatLinkTo), or a recorder in tests.
    void SetWOL(std::shared_ptr<ChatLink> link);

    const std::string& User() const { return lobby_->User(); }
    void SetUser(std::string nick);

    void SetSendFocus();
    void ConnectChat();
    // An entry of kind (EntryKind's numbers) with its colour.
    void AddChat(int kind, const QString& text);
    // The main connection went down, or is back: a notice line; while down a line typed is
    // refused, and once back the lobby is joined again.
    void LinkDown();
    void LinkRestored();
    // The conversation box shows new entries at most every few dozen milliseconds; this brings
    // it up to date now.
    void CatchUpHistory();
    // The users list and the counts beside the lobbies are drawn once the lines of a receive
    // pass are done; this draws them now.
    void CatchUpLists();

    int CurrentLobby() const { return lobby_->CurrentLobby(); }
    int PreviousLobby() const { return lobby_->PreviousLobby(); }
    bool ChatActive() const { return lobby_->ChatActive(); }
    Lobby& Core() { return *lobby_; }  // where the service's lines go

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // LobbyView
    void Entry(const LobbyEntry& entry) override;
    void Status(const std::string& text) override;
    void ChatControls(bool active) override;
    void LobbiesChanged() override;
    void MembersChanged() override;
    void UserRenamed() override;
    void LinesHidden() override;
    void MarkOwnNick();
    void DrawLists();

    void BuildControls();
    void BuildNickMenu();
    void ReadColours();

    void SendText(bool emote);
    void ToggleRecipient(const QModelIndex& index);
    // A right-click on the users list, or the menu key there (true when it was that key).
    void ShowNickMenu(const QModelIndex& index, const QPoint& globalPos);
    bool NickListMenuKey(QEvent* event);
    void MoveTo(QTreeWidgetItem* row);
    void Unload();

    // False when the window went away while the entry let events run: touch nothing of it then.
    // The entry goes to the log of lobby row (0: the current one).
    bool AddEntry(int kind, const QString& head, const QString& body, bool markOwnNick,
                  int row = 0);
    void LogEntry(int row, const QString& text);
    QStringList Nicknames() const;
    QString Stamp();

    std::unique_ptr<Lobby> lobby_;

    std::array<QColor, 6> ChatColours;  // error, in, out, private, emote, notify
    QColor entryColour_;
    bool timeStamps_ = true;
    qint64 stampMinute_ = -1;
    QString stamp_;
    bool logging_ = false;
    std::unique_ptr<ConversationLog> log_;
    int logRow_ = 0;  // the lobby log_ writes to
    QTimer* logFlush_ = nullptr;

    MemberModel* members_ = nullptr;
    QTimer* listsDue_ = nullptr;  // the lists wait for the end of the receive pass
    QTimer* noteDue_ = nullptr;   // and so does the note of hidden lines
    QMenu* NickMnu = nullptr;
    QAction* nickMnuIgnore_ = nullptr;
    std::string menuNick_;  // whom the open menu is about

    QTreeWidget* LobList = nullptr;
    QListView* NickList = nullptr;
    HistoryView* ChatHistory = nullptr;
    QLineEdit* SendBox = nullptr;
    VantorBtn* SendBtn = nullptr;
    VantorBtn* EmoteBtn = nullptr;
    VantorBtn* CloseBtn = nullptr;
    QLabel* StatusLabel = nullptr;
    SendBoxKeys* keys_ = nullptr;
};

}  // namespace vantor
