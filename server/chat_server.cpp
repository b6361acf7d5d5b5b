// SPDX-License-Identifier: MIT
#include "chat_server.h"

#include <algorithm>

namespace vantor::server {
namespace {

constexpr std::string_view kPasswordNeeded = "(Password needed for that nickname.)";

// The message of the day; the client shows what stands between the news markers.
constexpr std::string_view kMotd[] = {
    "<news>Welcome to the Vantor local service.",
    "Buddy lists, user locations, pages and the ten chat lobbies work here as on the",
    "real service. With --demo, log on as demo (password demo) or guest (password guest)",
    "and page echo to see a page answered.</news>",
};

}  // namespace

ChatServer::ChatServer(Outlet& out, AccountStore& accounts, Clock::duration pingInterval)
    : out_(out), accounts_(accounts), pingInterval_(pingInterval) {
    for (int i = 0; i < kLobbyCount; ++i) {
        Channel lobby;
        lobby.name = LobbyName(i);
        channels_.emplace(LowerAscii(lobby.name), std::move(lobby));
    }
}

std::string ChatServer::LobbyName(int index) {
    return "#Lob_12_" + std::to_string(index);
}

void ChatServer::Connected(ConnId id, Clock::time_point now) {
    Conn conn;
    conn.lastHeard = now;
    conns_[id] = std::move(conn);
}

void ChatServer::Received(ConnId id, std::string_view line, Clock::time_point now) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    Conn& conn = it->second;
    conn.lastHeard = now;
    conn.pinged = false;
    if (line.empty()) return;
    Command cmd = ParseCommand(CleanLine(line));
    if (cmd.name.empty()) return;

    // Not-logged-on connections may ask where a user is, as the client's searches do.
    if (cmd.name == "FINDUSEREX") {
        std::string requester = conn.userKey.empty() ? "*" : users_.at(conn.userKey).nick;
        HandleFindUser(id, requester, cmd.Param(0));
    } else if (cmd.name == "PING") {
        SendRaw(id, ":" + std::string(kServerName) + " PONG " + std::string(kServerName) + " :" +
                        std::string(cmd.Param(0)));
    } else if (cmd.name == "QUIT") {
        std::string reason = cmd.params.empty() ? "Quit" : "Quit: " + std::string(cmd.Param(0));
        if (!conn.userKey.empty()) Quit(conn.userKey, reason);
        conns_.erase(id);
        out_.Close(id);
    } else if (conn.userKey.empty()) {
        HandleUnregistered(id, conn, cmd);
    } else {
        HandleRegistered(id, conn, cmd);
    }
}

void ChatServer::Disconnected(ConnId id, std::string_view reason) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    std::string key = it->second.userKey;
    conns_.erase(it);
    if (!key.empty()) Quit(key, reason);
}

void ChatServer::Tick(Clock::time_point now) {
    if (now < nextPingScan_) return;
    // A scan a few times per interval keeps the timing close without walking every connection on
    // every wake-up.
    auto step = std::clamp<Clock::duration>(pingInterval_ / 4, std::chrono::milliseconds(20),
                                            std::chrono::seconds(1));
    nextPingScan_ = now + step;
    std::vector<ConnId> silent;
    for (auto& [id, conn] : conns_) {
        if (now - conn.lastHeard < pingInterval_) continue;
        if (!conn.pinged) {
            conn.pinged = true;
            conn.lastHeard = now;
            SendRaw(id, "PING :" + std::string(kServerName));
        } else {
            silent.push_back(id);
        }
    }
    for (ConnId id : silent) DropConnection(id, "Ping timeout");
}

// --- Log-on -----------------------------------------------------------------------------------

void ChatServer::HandleUnregistered(ConnId id, Conn& conn, const Command& cmd) {
    if (cmd.name == "NICK") {
        conn.nick = std::string(cmd.Param(0));
        conn.gotNick = true;
        if (conn.gotUser) TryLogOn(id, conn);
    } else if (cmd.name == "APGAR") {
        conn.code = std::string(cmd.Param(0));
    } else if (cmd.name == "USER") {
        conn.gotUser = true;
        if (conn.gotNick) TryLogOn(id, conn);
    } else if (cmd.name == "GETBUDDY" || cmd.name == "ADDBUDDY" || cmd.name == "DELBUDDY" ||
               cmd.name == "PAGE" || cmd.name == "LIST" || cmd.name == "JOIN" ||
               cmd.name == "PART" || cmd.name == "PRIVMSG") {
        Reply(id, "451", "*", ":You have not registered");
    }
    // CVERS, PASS, SETCODEPAGE, SETOPT, PONG and anything unknown: accepted quietly.
}

void ChatServer::TryLogOn(ConnId id, Conn& conn) {
    std::string nick = conn.nick;
    if (nick.empty()) {
        conn.gotNick = false;  // a later NICK may try again
        Reply(id, "431", "*", ":No nickname given");
        return;
    }
    if (!IsValidNick(nick)) {
        Reply(id, "432", "*", nick + " :Erroneous nickname");
        Refuse(id, "*", "(Erroneous nickname)");
        return;
    }
    std::string key = LowerAscii(nick);
    if (users_.count(key) != 0) {
        conn.gotNick = false;
        Reply(id, "433", "*", nick + " :Nickname is already in use");
        return;
    }
    Account* account = accounts_.Find(nick);
    if (reserved_.count(key) != 0 || (account != nullptr && account->code != conn.code)) {
        Refuse(id, nick, kPasswordNeeded);
        return;
    }
    if (!IsValidCode(conn.code)) {
        Refuse(id, nick, "(Invalid password code)");
        return;
    }
    if (account == nullptr) accounts_.Create(nick, conn.code);

    User user;
    user.nick = nick;
    user.conn = id;
    users_.emplace(key, std::move(user));
    conn.userKey = key;
    SendMotd(id, nick);
}

// Closes the link with an ERROR line whose fifth space-separated part is the reason.
void ChatServer::Refuse(ConnId id, std::string_view nick, std::string_view reason) {
    SendRaw(id, "ERROR :Closing Link: " + std::string(nick) + " " + std::string(reason));
    conns_.erase(id);
    out_.Close(id);
}

void ChatServer::SendMotd(ConnId id, const std::string& nick) {
    Reply(id, "375", nick, ":- " + std::string(kServerName) + " Message of the Day -");
    for (auto text : kMotd) Reply(id, "372", nick, ":- " + std::string(text));
    Reply(id, "376", nick, ":End of /MOTD command.");
}

// --- Logged-on commands -----------------------------------------------------------------------

void ChatServer::HandleRegistered(ConnId id, Conn& conn, const Command& cmd) {
    std::string key = conn.userKey;  // conn may go away below
    User& user = users_.at(key);
    const std::string& name = cmd.name;
    if (name == "GETBUDDY" || name == "ADDBUDDY" || name == "DELBUDDY") {
        HandleBuddies(id, user, cmd);
    } else if (name == "PAGE") {
        HandlePage(id, user, cmd);
    } else if (name == "LIST") {
        HandleList(id, user.nick);
    } else if (name == "JOIN") {
        if (cmd.params.empty()) return Reply(id, "461", user.nick, "JOIN :Not enough parameters");
        auto channels = SplitList(cmd.Param(0), ',');
        auto keys = SplitList(cmd.Param(1), ',');
        for (std::size_t i = 0; i < channels.size(); ++i) {
            Join(key, channels[i], i < keys.size() ? keys[i] : std::string_view());
        }
    } else if (name == "PART") {
        if (cmd.params.empty()) return Reply(id, "461", user.nick, "PART :Not enough parameters");
        for (auto channel : SplitList(cmd.Param(0), ',')) Part(key, channel);
    } else if (name == "PRIVMSG") {
        if (cmd.params.empty() || cmd.Param(0).empty()) {
            return Reply(id, "411", user.nick, ":No recipient given (PRIVMSG)");
        }
        if (cmd.params.size() < 2 || cmd.Param(1).empty()) {
            return Reply(id, "412", user.nick, ":No text to send");
        }
        Message(key, cmd.Param(0), cmd.Param(1));
    } else if (name == "USER" || name == "PASS") {
        Reply(id, "462", user.nick, ":You may not reregister");
    }
    // NICK, apgar, CVERS, SETCODEPAGE, SETOPT, PONG and anything unknown: accepted quietly.
}

void ChatServer::HandleBuddies(ConnId id, const User& user, const Command& cmd) {
    // Every connected user has an account (made at log-on); without one nothing is stored.
    Account* account = accounts_.Find(user.nick);
    if (cmd.name == "GETBUDDY") {
        // An empty list leaves word 3 out, so nothing after the nickname.
        std::string list;
        for (const auto& buddy : account ? account->buddies : std::vector<std::string>{}) {
            if (!list.empty()) list += '`';
            list += buddy;
        }
        Reply(id, "333", user.nick, list);
        return;
    }
    // Always answered, also for names that cannot be buddies, so that a client counting the
    // answers of a batch of changes is never left waiting.
    std::string_view buddy = cmd.Param(0);
    if (cmd.name == "ADDBUDDY") {
        if (account != nullptr) accounts_.AddBuddy(*account, buddy);
        Reply(id, "334", user.nick, buddy);
    } else {
        if (account != nullptr) accounts_.DelBuddy(*account, buddy);
        Reply(id, "335", user.nick, buddy);
    }
}

// Status 0 in a channel (word 4 = channel,type), 1 not logged on, 2 hiding, 3 logged on.
void ChatServer::HandleFindUser(ConnId id, std::string_view requester, std::string_view nick) {
    const User* user = FindUser(nick);
    if (user == nullptr) return Reply(id, "398", requester, "1");
    if (user->hiding) return Reply(id, "398", requester, "2");
    if (user->channels.empty()) return Reply(id, "398", requester, "3");
    const Channel& channel = channels_.at(user->channels.back());
    Reply(id, "398", requester,
          "0 " + channel.name + "," + std::to_string(static_cast<int>(channel.type)));
}

void ChatServer::HandlePage(ConnId id, User& user, const Command& cmd) {
    if (cmd.params.size() >= 1 && !cmd.Param(0).empty() &&
        (cmd.params.size() < 2 || cmd.Param(1).empty())) {
        return Reply(id, "412", user.nick, ":No text to send");
    }
    User* target = FindUser(cmd.Param(0));
    if (target == nullptr) return Reply(id, "389", user.nick, "1");
    std::string text(cmd.Param(1));
    if (target->conn != 0) {
        SendRaw(target->conn, Prefix(user) + " PAGE " + target->nick + " :" + text);
    } else if (peer_ != nullptr) {
        peer_->PageTo(target->nick, user.nick, text);
    }
    Reply(id, "389", user.nick, "0");
}

// --- Users inside the server --------------------------------------------------------------------

void ChatServer::ReserveNick(std::string_view nick) {
    reserved_.insert(LowerAscii(nick));
}

bool ChatServer::LogOnVirtual(std::string_view nick, bool hiding, bool op) {
    std::string key = LowerAscii(nick);
    if (!IsValidNick(nick) || users_.count(key) != 0) return false;
    reserved_.insert(key);
    User user;
    user.nick = std::string(nick);
    user.hiding = hiding;
    user.op = op;
    users_.emplace(key, std::move(user));
    return true;
}

void ChatServer::LogOffVirtual(std::string_view nick, std::string_view reason) {
    User* user = FindUser(nick);
    if (user != nullptr && user->conn == 0) Quit(LowerAscii(nick), reason);
}

void ChatServer::JoinVirtual(std::string_view nick, std::string_view channel, ChannelType type) {
    User* user = FindUser(nick);
    if (user == nullptr || user->conn != 0) return;
    std::string channelKey = LowerAscii(channel);
    if (type == ChannelType::Game && channels_.count(channelKey) == 0) {
        Channel game;
        game.name = std::string(channel);
        game.type = ChannelType::Game;
        channels_.emplace(channelKey, std::move(game));
    }
    Join(LowerAscii(nick), channel, kLobbyKey);
}

void ChatServer::PartVirtual(std::string_view nick, std::string_view channel) {
    User* user = FindUser(nick);
    if (user != nullptr && user->conn == 0) Part(LowerAscii(nick), channel);
}

void ChatServer::SayVirtual(std::string_view nick, std::string_view target, std::string_view text) {
    User* user = FindUser(nick);
    if (user != nullptr && user->conn == 0 && !text.empty())
        Message(LowerAscii(nick), target, text);
}

void ChatServer::PageVirtual(std::string_view nick, std::string_view target,
                             std::string_view text) {
    User* from = FindUser(nick);
    User* to = FindUser(target);
    if (from == nullptr || from->conn != 0 || to == nullptr || to->conn == 0) return;
    SendRaw(to->conn, Prefix(*from) + " PAGE " + to->nick + " :" + std::string(text));
}

// --- Helpers ------------------------------------------------------------------------------------

void ChatServer::DropConnection(ConnId id, std::string_view reason) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return;
    std::string key = it->second.userKey;
    std::string nick = key.empty() ? "*" : users_.at(key).nick;
    SendRaw(id, "ERROR :Closing Link: " + nick + " (" + std::string(reason) + ")");
    conns_.erase(it);
    out_.Close(id);
    if (!key.empty()) Quit(key, reason);
}

void ChatServer::Reply(ConnId id, std::string_view code, std::string_view nick,
                       std::string_view rest) {
    std::string line = ":";
    line.append(kServerName).append(" ").append(code).append(" ").append(nick);
    if (!rest.empty()) {
        line += ' ';
        line += rest;
    }
    SendRaw(id, line);
}

void ChatServer::SendRaw(ConnId id, std::string_view line) {
    if (id != 0) out_.Send(id, line);
}

std::string ChatServer::Prefix(const User& user) const {
    return ":" + user.nick + "!u@" + std::string(kServerName);
}

ChatServer::User* ChatServer::FindUser(std::string_view nick) {
    auto it = users_.find(LowerAscii(nick));
    return it == users_.end() ? nullptr : &it->second;
}

ChatServer::Channel* ChatServer::FindChannel(std::string_view name) {
    auto it = channels_.find(LowerAscii(name));
    return it == channels_.end() ? nullptr : &it->second;
}

}  // namespace vantor::server
