// SPDX-License-Identifier: MIT
// Lobbies and messages: what a user does in channels, and what the others see of it.
#include <algorithm>

#include "chat_server.h"

namespace vantor::server {
namespace {

// Real servers keep a names line well below the 512-byte line limit of their clients.
constexpr std::size_t kNamesPerLineBytes = 400;

// A name quoted back in an error reply; an empty one would leave two spaces in a row.
std::string Shown(std::string_view name) {
    return name.empty() ? "*" : std::string(name);
}

}  // namespace

void ChatServer::HandleList(ConnId id, const std::string& nick) {
    Reply(id, "321", nick, "Channel :Users Name");
    for (int i = 0; i < kLobbyCount; ++i) {
        const Channel& lobby = channels_.at(LowerAscii(LobbyName(i)));
        Reply(id, "327", nick, lobby.name + " " + std::to_string(lobby.members.size()) + " 0");
    }
    Reply(id, "323", nick, ":End of /LIST");
}

void ChatServer::Join(const std::string& userKey, std::string_view name, std::string_view key) {
    User& user = users_.at(userKey);
    Channel* channel = FindChannel(name);
    // Real users may enter the lobbies only; game channels belong to the users inside.
    if (channel == nullptr || (user.conn != 0 && channel->type != ChannelType::Lobby)) {
        return Reply(user.conn, "403", user.nick, Shown(name) + " :No such channel");
    }
    if (key != kLobbyKey) {
        return Reply(user.conn, "475", user.nick, channel->name + " :Cannot join channel (+k)");
    }
    if (std::find(channel->members.begin(), channel->members.end(), userKey) !=
        channel->members.end()) {
        return;
    }
    channel->members.push_back(userKey);
    user.channels.push_back(LowerAscii(channel->name));
    SendToMembers(*channel, Prefix(user) + " JOIN :" + channel->name, std::string());
    if (user.conn != 0) SendNames(user.conn, user.nick, *channel);
    if (peer_ == nullptr || user.conn == 0) return;
    for (const auto& member : channel->members) {
        if (users_.at(member).conn == 0) {
            peer_->Joined(channel->name, user.nick);
            break;
        }
    }
}

void ChatServer::Part(const std::string& userKey, std::string_view name) {
    User& user = users_.at(userKey);
    Channel* channel = FindChannel(name);
    if (channel == nullptr) {
        return Reply(user.conn, "403", user.nick, Shown(name) + " :No such channel");
    }
    auto it = std::find(channel->members.begin(), channel->members.end(), userKey);
    if (it == channel->members.end()) {
        return Reply(user.conn, "442", user.nick, channel->name + " :You're not on that channel");
    }
    // The leaver sees its own PART too: the client moves on to the next lobby when it arrives.
    SendToMembers(*channel, Prefix(user) + " PART " + channel->name, std::string());
    channel->members.erase(it);
    std::string channelKey = LowerAscii(channel->name);
    std::erase(user.channels, channelKey);
    if (channel->members.empty() && channel->type != ChannelType::Lobby)
        channels_.erase(channelKey);
}

void ChatServer::Message(const std::string& userKey, std::string_view targets,
                         std::string_view text) {
    std::vector<std::string> done;  // each recipient once, however often it is named
    for (auto target : SplitList(targets, ',')) {
        User& user = users_.at(userKey);
        std::string targetKey = LowerAscii(target);
        if (std::find(done.begin(), done.end(), targetKey) != done.end()) continue;
        done.push_back(targetKey);
        if (!target.empty() && target.front() == '#') {
            Channel* channel = FindChannel(target);
            if (channel == nullptr) {
                Reply(user.conn, "403", user.nick, Shown(target) + " :No such channel");
            } else if (std::find(user.channels.begin(), user.channels.end(), targetKey) ==
                       user.channels.end()) {
                Reply(user.conn, "404", user.nick, channel->name + " :Cannot send to channel");
            } else {
                SendToMembers(*channel,
                              Prefix(user) + " PRIVMSG " + channel->name + " :" + std::string(text),
                              userKey);
            }
            continue;
        }
        User* to = FindUser(target);
        if (to == nullptr) {
            Reply(user.conn, "401", user.nick, Shown(target) + " :No such nick/channel");
        } else if (to->conn != 0) {
            // Each recipient sees its own nickname as the target, also when several were named.
            SendRaw(to->conn, Prefix(user) + " PRIVMSG " + to->nick + " :" + std::string(text));
        } else if (peer_ != nullptr) {
            peer_->PrivateTo(to->nick, user.nick, std::string(text));
        }
    }
}

void ChatServer::Quit(std::string userKey, std::string_view reason) {
    auto it = users_.find(userKey);
    if (it == users_.end()) return;
    User& user = it->second;
    std::string line = Prefix(user) + " QUIT :" + std::string(reason);
    std::vector<std::string> told;
    for (const auto& channelKey : user.channels) {
        auto ch = channels_.find(channelKey);
        if (ch == channels_.end()) continue;
        Channel& channel = ch->second;
        std::erase(channel.members, userKey);
        for (const auto& member : channel.members) {
            if (std::find(told.begin(), told.end(), member) != told.end()) continue;
            told.push_back(member);
            SendRaw(users_.at(member).conn, line);
        }
        if (channel.members.empty() && channel.type != ChannelType::Lobby) channels_.erase(ch);
    }
    users_.erase(it);
}

// Names in join order, operators marked "@", spread over as many "353" lines as they need.
void ChatServer::SendNames(ConnId id, const std::string& nick, const Channel& channel) {
    std::string head = "= " + channel.name + " :";
    std::string names;
    for (const auto& member : channel.members) {
        const User& user = users_.at(member);
        std::string entry = (user.op ? "@" : "") + user.nick;
        if (!names.empty() && names.size() + 1 + entry.size() > kNamesPerLineBytes) {
            Reply(id, "353", nick, head + names);
            names.clear();
        }
        if (!names.empty()) names += ' ';
        names += entry;
    }
    Reply(id, "353", nick, head + names);
    Reply(id, "366", nick, channel.name + " :End of /NAMES list.");
}

void ChatServer::SendToMembers(const Channel& channel, std::string_view line,
                               const std::string& except) {
    for (const auto& member : channel.members) {
        if (member != except) SendRaw(users_.at(member).conn, line);
    }
}

}  // namespace vantor::server
