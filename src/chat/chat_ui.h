// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "chat/chat_link.h"
#include "transport/callback.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantor {

class ConversationLog;
class HistoryView;
class SendBoxKeys;
class VantorBtn;
class WOLCon;

// The lobby chat window: the lobby list, the users of the current lobby and the conversation.
//
// Lifetime: the window deletes itself when it closes (Qt::WA_DeleteOnClose, released with
// deleteLater), after it has sent the PART, removed its intercepts and raised Closed. The owner
// keeps at most a QPointer and drops it on Closed. Close the window before its session is
// destroyed: closing talks to the session.
class ChatUI : public QWidget {
    Q_OBJECT

public:
    // Parameters handed back with each request or intercept.
    enum Request : int { kList = 1, kJoin = 2, kMessage = 3, kJoined = 4, kLeft = 5, kQuit = 6 };
    // Entry kinds of AddChat.
    enum Kind : int { kError = -1, kIn = 0, kOut = 1, kPrivate = 3, kEmote = 4, kNotify = 5 };

    explicit ChatUI(QWidget* parent = nullptr);
    ~ChatUI() override;

    void SetWOL(WOLCon* wol);  // not owned
    WOLCon* WOL() const { return wol_; }
    void SetLink(ChatLink* link);  // another way to the service, e.g. a recorder; not owned

    const std::string& User() const { return user_; }
    void SetUser(std::string nick);

    void SetSendFocus();
    void ConnectChat();
    void ChatCB_Callback(const std::string& line, Delivery status, const Param& param);
    void AddChat(int kind, const QString& text);
    // The main connection went down, or is back: a notice line; while down a line typed is
    // refused, and once back the lobby is joined again.
    void LinkDown();
    void LinkRestored();
    // The conversation box shows new entries at most every few dozen milliseconds; this brings
    // it up to date now.
    void CatchUpHistory();

    int CurrentLobby() const { return currentLobby_; }    // 1-based row, 0 = none
    int PreviousLobby() const { return previousLobby_; }  // 1-based row, 0 = none
    bool ChatActive() const { return chatActive_; }

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ReadColours();

    void OnLobbyList(const std::string& line);
    void OnListEnd();
    void OnNames(const std::string& line);
    void OnMessage(const std::string& line);
    void OnJoin(const std::string& line);
    void OnPart(const std::string& line);
    void OnQuit(const std::string& line);

    void SendText(bool emote);
    void ToggleRecipient(QListWidgetItem* item);
    void MoveTo(QTreeWidgetItem* row);
    void SetChatControls(bool active);
    void JoinCurrent();
    void Unload();

    // False when the window went away while the entry let events run: touch nothing of it then.
    // The entry goes to the log of lobby row (0: the current one).
    bool AddEntry(int kind, const QString& head, const QString& body, bool markOwnNick,
                  int row = 0);
    void LogEntry(int row, const QString& text);
    QStringList Nicknames() const;
    QString Stamp();

    QTreeWidgetItem* LobbyRow(int row) const;  // 1-based
    QString LobbyText(int row) const;
    std::string LobbyChannel(int row) const;
    void ShowCount(int row, int count);
    QListWidgetItem* FindNick(const std::string& key) const;
    void AddNick(const std::string& nick, bool op);
    bool RemoveNick(const std::string& nick);

    WOLCon* wol_ = nullptr;
    std::unique_ptr<ChatLink> wolLink_;
    ChatLink* link_ = nullptr;
    std::shared_ptr<Callback> ChatCB;
    std::vector<InterceptRegistration> intercepts_;  // PRIVMSG, JOIN, PART, QUIT while held

    std::string user_;
    int currentLobby_ = 0;
    int previousLobby_ = 0;
    bool chatActive_ = false;
    bool moving_ = false;  // own PART sent for a move, its echo not seen yet
    bool unloaded_ = false;
    bool linkDown_ = false;

    std::array<QColor, 6> ChatColours;  // error, in, out, private, emote, notify
    QColor entryColour_;
    bool timeStamps_ = true;
    qint64 stampMinute_ = -1;
    QString stamp_;
    bool logging_ = false;
    std::unique_ptr<ConversationLog> log_;
    int logRow_ = 0;  // the lobby log_ writes to
    QTimer* logFlush_ = nullptr;

    // The nick list's rows by lower-cased nickname: a lobby's names arrive by the thousand, and
    // a look-up per name through the list would freeze the window on a large one.
    std::unordered_map<std::string, QListWidgetItem*> nickRows_;

    QTreeWidget* LobList = nullptr;
    QListWidget* NickList = nullptr;
    HistoryView* ChatHistory = nullptr;
    QLineEdit* SendBox = nullptr;
    VantorBtn* SendBtn = nullptr;
    VantorBtn* EmoteBtn = nullptr;
    VantorBtn* CloseBtn = nullptr;
    QLabel* StatusLabel = nullptr;
    SendBoxKeys* keys_ = nullptr;
};

}  // namespace vantor
