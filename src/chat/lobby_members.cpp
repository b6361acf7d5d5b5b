// SPDX-License-Identifier: MIT
// The lobby's members: who is listed, in which order, and who of them is ignored.
#include <string>
#include <string_view>

#include "chat/chat_lines.h"
#include "chat/lobby.h"
#include "common/wire_text.h"

namespace vantor {

void Lobby::ClearMembers() {
    members_.clear();
    byKey_.clear();
    view_.MembersChanged();
}

void Lobby::AddMember(const std::string& nick, bool op) {
    std::string key = LowerCp1252(nick);
    if (byKey_.contains(key)) return;  // one entry per user, however often the service names them
    // Operators go to the top, everyone else to the end.
    const auto at = members_.insert(op ? members_.begin() : members_.end(),
                                    {.nick = nick, .op = op, .ignored = Ignored(nick)});
    byKey_.emplace(std::move(key), at);
    view_.MembersChanged();
}

bool Lobby::RemoveMember(const std::string& nick) {
    const std::string key = LowerCp1252(nick);
    const auto it = byKey_.find(key);
    if (it == byKey_.end()) return false;
    members_.erase(it->second);
    byKey_.erase(it);
    view_.MembersChanged();
    return true;
}

// In place: the operator mark, the place in the list and the recipient choice stay.
bool Lobby::RenameMember(const std::string& from, const std::string& to) {
    const auto it = byKey_.find(LowerCp1252(from));
    if (it == byKey_.end()) return false;
    const auto member = it->second;
    byKey_.erase(it);
    std::string key = LowerCp1252(to);
    member->nick = to;
    member->ignored = Ignored(to);
    if (const auto clash = byKey_.find(key); clash != byKey_.end()) {
        members_.erase(clash->second);  // a stale entry of the new name
        byKey_.erase(clash);
        SetCount(ListedLobby(), int(members_.size()));
    }
    byKey_.emplace(std::move(key), member);
    view_.MembersChanged();
    return true;
}

std::vector<LobbyMember> Lobby::Members() const {
    return {members_.begin(), members_.end()};
}

const LobbyMember* Lobby::FindMember(std::string_view nick) const {
    const auto it = byKey_.find(LowerCp1252(nick));
    return it != byKey_.end() ? &*it->second : nullptr;
}

// A flood from an ignored user costs a look-up and a count a line, far less than showing it: no
// parse of the text, no entry, and one note for the whole visit.
bool Lobby::HideFrom(std::string_view line) {
    if (ignores_.Empty()) return false;
    const std::string sender = SenderOf(line);
    if (!Ignored(sender)) return false;
    auto& [key, hidden] = *hidden_.try_emplace(LowerCp1252(sender)).first;
    if (hidden.told) return true;
    if (hidden.lines++ == 0) {
        hidden.nick = sender;
        untold_.push_back(key);
        if (untold_.size() == 1) view_.LinesHidden();
    }
    return true;
}

bool Lobby::Ignored(std::string_view nick) const {
    return ignores_.Contains(nick) && LowerCp1252(nick) != LowerCp1252(user_);
}

void Lobby::SetIgnored(const std::string& nick, bool ignored) {
    if (ignored && LowerCp1252(nick) == LowerCp1252(user_)) return;  // own lines always show
    ignores_.Set(nick, ignored);
}

std::string Lobby::TakeHiddenNote() {
    std::string note;
    for (const std::string& key : untold_) {
        const auto it = hidden_.find(key);
        if (it == hidden_.end() || it->second.told) continue;
        Hidden& hidden = it->second;
        hidden.told = true;
        if (!note.empty()) note += "; ";
        note += std::to_string(hidden.lines) +
                (hidden.lines == 1 ? " line from " + hidden.nick + " was hidden"
                                   : " lines from " + hidden.nick + " were hidden");
    }
    untold_.clear();
    return note;
}

}  // namespace vantor
