// SPDX-License-Identifier: MIT
#include "chat/lobby.h"

#include <algorithm>
#include <any>
#include <array>
#include <cstdint>

#include "chat/chat_lines.h"
#include "common/lobby_names.h"
#include "common/wire_text.h"
#include "settings/settings_source.h"

namespace vantor {

namespace {

struct InterceptOf {
    std::string_view code;
    Lobby::Request request;
};
constexpr std::array<InterceptOf, 4> kIntercepts = {{{relayed::kPrivmsg, Lobby::kMessage},
                                                     {relayed::kJoin, Lobby::kJoined},
                                                     {relayed::kPart, Lobby::kLeft},
                                                     {relayed::kQuit, Lobby::kQuit}}};
// What a real service of the family sends a lobby beyond those four.
constexpr std::array<InterceptOf, 4> kEventIntercepts = {{{relayed::kNick, Lobby::kNick},
                                                          {relayed::kKick, Lobby::kKick},
                                                          {relayed::kTopic, Lobby::kTopic},
                                                          {reply::kTopic, Lobby::kTopic}}};

std::string Because(const std::string& reason) {
    return reason.empty() ? std::string() : " (" + reason + ")";
}

}  // namespace

Lobby::Lobby(LobbyView& view, IgnoreList& ignores) : view_(view), ignores_(ignores) {
    ChatCB = MakeCallback([this, alive = liveness_.watch()](const std::string& line, Delivery kind,
                                                            const Param& param) {
        if (alive()) ChatCB_Callback(line, kind, param);
    });
    // The marks follow the list, whichever window changed it.
    ignoresWatch_ = ignores_.OnChange([this] {
        for (LobbyMember& member : members_) member.ignored = Ignored(member.nick);
        if (!closed_) view_.MembersChanged();
    });
}

Lobby::~Lobby() = default;

void Lobby::SetWOL(std::shared_ptr<ChatLink> link) {
    intercepts_.clear();  // they belong to the old link
    link_ = std::move(link);
}

void Lobby::SetUser(std::string nick) {
    user_ = std::move(nick);
}

const LobbyInfo* Lobby::Row(int row) const {
    if (row < 1 || row > static_cast<int>(lobbies_.size())) return nullptr;
    return &lobbies_[std::size_t(row - 1)];
}

std::string Lobby::LobbyName(int row) const {
    const LobbyInfo* info = Row(row);
    return info ? info->name : std::string();
}

void Lobby::ConnectChat() {
    if (closed_) return;
    lobbies_.clear();
    currentLobby_ = 0;
    previousLobby_ = 0;
    view_.LobbiesChanged();
    view_.Status("Requesting lobby list...");
    if (link_) {
        listing_ = true;
        link_->send(ListCommand(), {.callback = ChatCB,
                                    .param = Param{int(kList)},
                                    .codes = {reply::kListItem},
                                    .start = reply::kListStart,
                                    .end = reply::kListEnd});
    }
}

void Lobby::ChatCB_Callback(const std::string& line, Delivery status, const Param& param) {
    (void)status;  // the code in the line says what it is
    if (closed_) return;
    const int* request = std::any_cast<int>(&param);
    if (!request) return;
    const std::string_view word = WordAt(line, 1, 3);
    switch (*request) {
        case kList:
            if (word == reply::kListItem) {
                OnLobbyList(line);
            } else if (word == reply::kListEnd) {
                OnListEnd();
            }
            break;
        case kJoin:
            if (word == reply::kNames) {
                OnNames(line);
            } else if (word == reply::kNamesEnd && IsListedChannel(NamesChannel(line))) {
                namesDue_ = false;
                SetCount(currentLobby_, int(members_.size()));
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
        case kNick:
            OnNick(line);
            break;
        case kKick:
            OnKick(line);
            break;
        case kTopic:
            OnTopic(line);
            break;
        default:
            break;
    }
}

void Lobby::OnLobbyList(const std::string& line) {
    const auto row = ParseLobbyRow(line);
    if (!row) return;
    lobbies_.push_back({.number = row->number,
                        .name = std::string(LobbyNames[std::size_t(row->number)]),
                        .channel = row->channel,
                        .users = row->users});
    view_.LobbiesChanged();
}

bool Lobby::IsListedChannel(std::string_view channel) const {
    const LobbyInfo* info = Row(ListedLobby());
    return info && !channel.empty() && LowerCp1252(channel) == LowerCp1252(info->channel);
}

void Lobby::OnListEnd() {
    listing_ = false;
    const int asked = RowOfLobby(wantedLobby_);
    wantedLobby_ = -1;
    if (lobbies_.empty()) {
        currentLobby_ = 0;
        view_.Status("No lobbies are open.");
        return;
    }
    // Counted wide: the largest value the setting holds has no next int.
    const std::int64_t wanted = std::int64_t{Settings().Get(setting::kChatInitialLobby)} + 1;
    // A lobby that is not listed (closed, or a stale setting) falls back to the first one.
    const auto rows = static_cast<std::int64_t>(lobbies_.size());
    currentLobby_ = wanted < 1 || wanted > rows ? 1 : int(wanted);
    if (asked > 0) currentLobby_ = asked;
    view_.LobbiesChanged();
    RegisterIntercepts();
    JoinCurrent();
}

void Lobby::RegisterIntercepts() {
    if (!link_ || !intercepts_.empty()) return;
    for (const InterceptOf& i : kIntercepts) {
        intercepts_.push_back(
            link_->RegisterIntercept(std::string(i.code), ChatCB, Param{int(i.request)}));
    }
    if (Settings().Get(setting::kChatLobbyEvents) == 0) return;
    for (const InterceptOf& i : kEventIntercepts) {
        intercepts_.push_back(
            link_->RegisterIntercept(std::string(i.code), ChatCB, Param{int(i.request)}));
    }
}

void Lobby::JoinCurrent() {
    view_.Status("Joining channel " + LobbyName(currentLobby_) + "...");
    const LobbyInfo* info = Row(currentLobby_);
    if (link_ && info && !info->channel.empty()) {
        namesDue_ = true;
        joining_ = true;
        // Every names line of the reply is ours: once the first has started it, the later ones
        // are its data lines.
        link_->send(JoinCommand(info->channel), {.callback = ChatCB,
                                                 .param = Param{int(kJoin)},
                                                 .codes = {reply::kBadChannelKey, reply::kNames},
                                                 .start = reply::kNames,
                                                 .end = reply::kNamesEnd});
    }
}

void Lobby::OnNames(const std::string& line) {
    // Lines of a lobby being left, or of an earlier reply, do not mix with this one's.
    if (moving_ || !IsListedChannel(NamesChannel(line))) return;
    if (namesDue_) {
        namesDue_ = false;
        ClearMembers();
    }
    for (const NamesEntry& name : ParseNames(line)) AddMember(name.nick, name.op);
}

void Lobby::OnMessage(const std::string& line) {
    if (HideFrom(line)) return;
    const auto msg = ParseMessage(line);
    if (!msg) return;
    LobbyEntry entry{.head = msg->sender, .body = msg->text, .sender = msg->sender};
    entry.fromOthers = true;
    if (LowerCp1252(msg->target) == LowerCp1252(user_)) {
        entry.kind = EntryKind::Private;
        entry.toUser = true;
        entry.head += msg->emote ? " " : ": ";
    } else if (msg->emote) {
        entry.kind = EntryKind::Emote;
        entry.head += " ";
    } else {
        entry.kind = EntryKind::In;
        entry.head += ": ";
    }
    Show(std::move(entry));
}

void Lobby::OnJoin(const std::string& line) {
    const std::string sender = SenderOf(line);
    if (sender.empty()) return;
    if (sender != user_) {
        AddMember(sender, false);
        SetCount(currentLobby_, int(members_.size()));
        return;
    }
    // A new visit: an ignored user's first hidden lines earn a note again.
    hidden_.clear();
    untold_.clear();
    joining_ = false;
    if (!Notice("Joined channel " + LobbyName(currentLobby_))) return;
    SetCount(currentLobby_, int(members_.size()));
    chatActive_ = true;
    view_.ChatControls(true);
    view_.Status("Chat is active.");
    // Asked for another lobby while this one was being joined: on there now.
    if (const int asked = RowOfLobby(wantedLobby_); asked > 0) {
        wantedLobby_ = -1;
        MoveTo(asked);
    }
}

int Lobby::RowOfLobby(int number) const {
    if (number < 0) return 0;
    const auto it = std::ranges::find(lobbies_, number, &LobbyInfo::number);
    return it == lobbies_.end() ? 0 : int(it - lobbies_.begin()) + 1;
}

void Lobby::JoinLobby(int number) {
    if (closed_ || number < 0 || number >= int(LobbyNames.size())) return;
    if (listing_ || joining_) {
        wantedLobby_ = number;
        return;
    }
    const int row = RowOfLobby(number);
    if (row == 0) {
        Notice(std::string(LobbyNames[std::size_t(number)]) + " is not open.");
        return;
    }
    if (linkDown_) {
        // Joined once the link is back.
        currentLobby_ = row;
        removed_ = false;
        view_.LobbiesChanged();
        return;
    }
    MoveTo(row);
}

bool Lobby::MoveUnderWay() const {
    return !closed_ && (moving_ || listing_ || joining_ || wantedLobby_ >= 0);
}

void Lobby::OnPart(const std::string& line) {
    const std::string sender = SenderOf(line);
    if (sender.empty()) return;
    if (sender != user_) {
        if (RemoveMember(sender)) SetCount(currentLobby_, int(members_.size()));
        return;
    }
    // Parted without a move of ours (the service put us out): rejoin where we were.
    const int left = ListedLobby();
    if (!Notice("Left channel " + LobbyName(left), left)) return;  // closed meanwhile: no JOIN
    LeftLobby(left);
}

void Lobby::LeftLobby(int left) {
    moving_ = false;
    joining_ = false;
    SetCount(left, std::max(0, int(members_.size()) - 1));
    ClearMembers();
    chatActive_ = false;
    view_.Status("Chat is inactive.");
    view_.ChatControls(false);
    if (!removed_) JoinCurrent();
}

void Lobby::OnNick(const std::string& line) {
    const auto rename = ParseRename(line);
    if (!rename) return;
    const bool own = rename->from == user_;
    if (own) user_ = rename->to;
    const bool listed = RenameMember(rename->from, rename->to);
    const auto alive = liveness_.watch();
    if (own) view_.UserRenamed();
    if (!alive()) return;
    if ((listed || own) && !Notice(rename->from + " is now known as " + rename->to)) return;
    if (link_) link_->Renamed(rename->from, rename->to);
}

void Lobby::OnKick(const std::string& line) {
    const auto kick = ParseRemoval(line);
    if (!kick || !IsListedChannel(kick->channel)) return;
    // Named by whoever removed them, in whatever letter case.
    if (LowerCp1252(kick->nick) != LowerCp1252(user_)) {
        if (!RemoveMember(kick->nick)) return;
        SetCount(ListedLobby(), int(members_.size()));
        Notice(kick->nick + " was removed by " + kick->by + Because(kick->reason));
        return;
    }
    // No rejoin of our own: the user picks a lobby. Removed from the lobby being left, the
    // move goes on.
    const int left = ListedLobby();
    removed_ = !moving_;
    chatActive_ = false;
    if (!Show({.kind = EntryKind::Error,
               .body = "You were removed from " + LobbyName(left) + " by " + kick->by +
                       Because(kick->reason),
               .row = left})) {
        return;
    }
    LeftLobby(left);
}

void Lobby::OnTopic(const std::string& line) {
    const auto topic = ParseTopic(line);
    if (!topic || !IsListedChannel(topic->channel)) return;
    std::string& shown = topics_[LowerCp1252(topic->channel)];
    if (shown == topic->text) return;  // the same topic on every join is news once
    shown = topic->text;
    Notice("Topic: " + topic->text);
}

void Lobby::OnQuit(const std::string& line) {
    const std::string sender = SenderOf(line);
    // The count follows the list, so it stays true when users leave the service.
    if (!sender.empty() && RemoveMember(sender)) SetCount(currentLobby_, int(members_.size()));
}

void Lobby::LinkDown() {
    if (closed_ || linkDown_) return;
    linkDown_ = true;
    moving_ = false;
    joining_ = false;
    listing_ = false;
    wantedLobby_ = -1;
    chatActive_ = false;
    ClearMembers();
    view_.Status("Chat is inactive.");
    Notice("Connection lost.");
}

void Lobby::LinkRestored() {
    if (closed_ || !linkDown_) return;
    linkDown_ = false;
    if (!Notice("Reconnected.") || removed_) return;
    if (currentLobby_ > 0) {
        JoinCurrent();
    } else {
        ConnectChat();
    }
}

void Lobby::MoveTo(int row) {
    if (closed_ || !Row(row)) return;
    if (removed_) {
        removed_ = false;
        currentLobby_ = row;
        view_.LobbiesChanged();
        JoinCurrent();
        return;
    }
    if (row == currentLobby_ || !chatActive_) return;
    chatActive_ = false;
    previousLobby_ = currentLobby_;
    currentLobby_ = row;
    moving_ = true;
    view_.LobbiesChanged();
    view_.Status("Leaving channel " + LobbyName(previousLobby_) + "...");
    if (link_) link_->send(PartCommand(Row(previousLobby_)->channel));
}

void Lobby::ToggleRecipient(const std::string& key) {
    const auto it = byKey_.find(key);
    if (it == byKey_.end()) return;
    it->second->recipient = !it->second->recipient;
    view_.MembersChanged();
}

bool Lobby::RefuseSend() {
    if (closed_) return true;
    // Refused lines stay with the user, who can send them once they can go.
    if (linkDown_) {
        Notice("Not connected: the line was not sent.");
        return true;
    }
    if (removed_) {
        Notice("Not in a lobby: the line was not sent.");
        return true;
    }
    return false;
}

void Lobby::Send(const std::string& text, bool emote) {
    if (closed_) return;
    std::string target;
    for (const LobbyMember& member : members_) {
        if (!member.recipient) continue;
        if (!target.empty()) target += ',';
        target += member.nick;
    }
    const bool privately = !target.empty();
    if (!privately) {
        const LobbyInfo* info = Row(currentLobby_);
        if (info) target = info->channel;
    }
    if (target.empty()) return;

    LobbyEntry entry{.head = user_ + (emote ? " " : ": "), .body = text};
    entry.kind = privately ? EntryKind::Private : (emote ? EntryKind::Emote : EntryKind::Out);
    const std::string command = emote ? EmoteCommand(target, text) : MessageCommand(target, text);
    if (!Show(std::move(entry))) return;
    if (link_) link_->send(command);
}

void Lobby::Close() {
    if (closed_) return;
    closed_ = true;
    liveness_.Renew();  // a run under way when the window closes goes no further
    const auto alive = liveness_.watch();
    if (link_ && !linkDown_ && !removed_) {
        const LobbyInfo* info = Row(currentLobby_);
        if (info && !info->channel.empty()) link_->send(PartCommand(info->channel));
    }
    if (alive()) intercepts_.clear();
}

bool Lobby::Notice(const std::string& text, int row) {
    return Show({.kind = EntryKind::Notify, .body = text, .row = row});
}

bool Lobby::Show(LobbyEntry entry) {
    if (entry.row == 0) entry.row = currentLobby_;
    const auto alive = liveness_.watch();
    view_.Entry(entry);
    return alive();
}

void Lobby::SetCount(int row, int count) {
    if (row < 1 || row > static_cast<int>(lobbies_.size())) return;
    lobbies_[std::size_t(row - 1)].users = count;
    view_.MembersChanged();
}

}  // namespace vantor
