// SPDX-License-Identifier: MIT
#pragma once

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "chat/chat_link.h"
#include "chat/lobby_view.h"
#include "common/liveness.h"
#include "pages/ignore_list.h"
#include "transport/callback.h"

namespace vantor {

// One row of the lobby list.
struct LobbyInfo {
    int number = 0;       // 0 to 9, the index into LobbyNames
    std::string name;     // LobbyNames(number)
    std::string channel;  // what JOIN and PART name
    int users = 0;        // the count shown beside the name
};

// The lobby chat: the list of lobbies, the one the user is in or joining and the one being
// left, its members, and the conversation with the service that keeps them (LIST, JOIN, PART,
// PRIVMSG and the intercepts of the lines other users cause). It reports to a LobbyView.
//
// Every call into the view or the link may destroy the lobby (its window closes); the lobby
// checks its Liveness after each and touches nothing then. Close ends the conversation: it
// sends the PART, drops the intercepts, and the lobby takes no line after it.
//
// Lines, emotes and private messages of a user on the ignore list are dropped before anything
// is made of them (no entry, so nothing notified or logged); the user stays listed, marked.
// The user's own lines are never dropped.
class Lobby {
public:
    // Parameters handed back with each request or intercept.
    // The last three only while "ChatLobbyEvents" is on.
    enum Request : int {
        kList = 1,
        kJoin = 2,
        kMessage = 3,
        kJoined = 4,
        kLeft = 5,
        kQuit = 6,
        kNick = 7,
        kKick = 8,
        kTopic = 9,
    };

    explicit Lobby(LobbyView& view, IgnoreList& ignores = Ignores());
    ~Lobby();
    Lobby(const Lobby&) = delete;
    Lobby& operator=(const Lobby&) = delete;

    void SetWOL(std::shared_ptr<ChatLink> link);
    const std::string& User() const { return user_; }
    void SetUser(std::string nick);

    void ConnectChat();
    void ChatCB_Callback(const std::string& line, Delivery status, const Param& param);

    // The user's doing.
    void MoveTo(int row);  // a click on a lobby row (1-based)
    // Into the lobby of this number (the index into LobbyNames), as from elsewhere (a buddy's
    // location): the lobby the list's end joins when the list has not come, a move (PART, then
    // JOIN) from the lobby the user is in, or once the join under way is done.
    void JoinLobby(int number);
    // A list, a join or a move is under way: another JoinLobby would have to wait for it.
    bool MoveUnderWay() const;
    void ToggleRecipient(const std::string& key);  // a click on a member
    // True, with a notice, when no line can go out now; the line stays with the user.
    bool RefuseSend();
    void Send(const std::string& text, bool emote);
    void Close();
    void SetIgnored(const std::string& nick, bool ignored);  // the users list's menu
    bool Ignored(std::string_view nick) const;               // never the user themself

    // "3 lines from bob were hidden": once per ignored sender and visit to a lobby, for the
    // lines hidden since the last call; "" when there is nothing new to say.
    std::string TakeHiddenNote();

    // The main connection went down, or is back: a notice; while down a line is refused, and
    // once back the lobby is joined again.
    void LinkDown();
    void LinkRestored();

    const std::vector<LobbyInfo>& Lobbies() const { return lobbies_; }
    int CurrentLobby() const { return currentLobby_; }    // 1-based row, 0 = none
    int PreviousLobby() const { return previousLobby_; }  // 1-based row, 0 = none
    bool ChatActive() const { return chatActive_; }
    bool Removed() const { return removed_; }  // put out by a KICK, in no lobby until a click
    bool Closed() const { return closed_; }
    const LobbyInfo* Row(int row) const;  // nullptr outside 1..rows

    std::vector<LobbyMember> Members() const;  // in list order: operators first
    std::size_t MemberCount() const { return members_.size(); }
    const LobbyMember* FindMember(std::string_view nick) const;  // any letter case

private:
    void OnLobbyList(const std::string& line);
    void OnListEnd();
    void OnNames(const std::string& line);
    void OnMessage(const std::string& line);
    void OnJoin(const std::string& line);
    void OnPart(const std::string& line);
    void OnQuit(const std::string& line);
    void OnNick(const std::string& line);
    void OnKick(const std::string& line);
    void OnTopic(const std::string& line);
    bool HideFrom(std::string_view line);
    // The user is out of the lobby whose members are listed; a move goes on to the next one.
    void LeftLobby(int left);
    int ListedLobby() const { return moving_ ? previousLobby_ : currentLobby_; }
    int RowOfLobby(int number) const;  // 0 when the list has none
    bool IsListedChannel(std::string_view channel) const;
    void JoinCurrent();
    void RegisterIntercepts();

    // False when the lobby went away (or closed) while the view showed it.
    bool Notice(const std::string& text, int row = 0);
    bool Show(LobbyEntry entry);
    void SetCount(int row, int count);
    void ClearMembers();
    void AddMember(const std::string& nick, bool op);
    bool RemoveMember(const std::string& nick);
    bool RenameMember(const std::string& from, const std::string& to);
    std::string LobbyName(int row) const;

    LobbyView& view_;
    std::shared_ptr<ChatLink> link_;
    std::shared_ptr<Callback> ChatCB;
    std::vector<InterceptRegistration> intercepts_;  // while held

    std::string user_;
    std::vector<LobbyInfo> lobbies_;
    int currentLobby_ = 0;
    int previousLobby_ = 0;
    bool chatActive_ = false;
    bool moving_ = false;   // own PART sent for a move, its echo not seen yet
    bool listing_ = false;  // LIST sent, its end not seen yet
    bool joining_ = false;  // own JOIN sent, its echo not seen yet
    int wantedLobby_ = -1;  // JoinLobby's number, waiting for the list or the join under way
    bool linkDown_ = false;
    bool removed_ = false;
    bool closed_ = false;
    bool namesDue_ = false;  // a JOIN went out: its first names line starts the list afresh
    std::unordered_map<std::string, std::string> topics_;  // shown, by lower-cased channel

    // In list order, operators first; found by lower-cased nickname. A lobby's names arrive by
    // the thousand, and a search through the list per name would freeze on a large one.
    std::list<LobbyMember> members_;
    std::unordered_map<std::string, std::list<LobbyMember>::iterator> byKey_;

    // Hidden lines of this visit, by lower-cased sender: counted until the note about them is
    // taken, then no more.
    struct Hidden {
        std::string nick;
        int lines = 0;
        bool told = false;
    };
    IgnoreList& ignores_;
    IgnoreList::Watch ignoresWatch_;
    std::unordered_map<std::string, Hidden> hidden_;
    std::vector<std::string> untold_;  // keys of hidden_ with lines not told yet, first first

    Liveness liveness_;
};

}  // namespace vantor
