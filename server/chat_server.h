// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "account_store.h"
#include "wire.h"

namespace vantor::server {

using ConnId = std::uint64_t;
using Clock = std::chrono::steady_clock;

// Where the chat logic's output goes: the socket loop, or a fake in tests.
class Outlet {
public:
    virtual ~Outlet() = default;
    virtual void Send(ConnId id, std::string_view line) = 0;  // CR LF is appended
    // Flush what is queued, then close. The chat logic has already forgotten the connection.
    virtual void Close(ConnId id) = 0;
};

// What a connection's life looks like to the chat logic.
class ConnectionHandler {
public:
    virtual ~ConnectionHandler() = default;
    virtual void Connected(ConnId id, Clock::time_point now) = 0;
    virtual void Received(ConnId id, std::string_view line, Clock::time_point now) = 0;
    // The peer went away (closed, failed, or could not keep up). Unknown ids are ignored.
    virtual void Disconnected(ConnId id, std::string_view reason) = 0;
};

// Receives what reaches the users that live inside the server (the demo cast). Implementations
// must not call back into the server from these: they schedule their answers instead.
class VirtualPeer {
public:
    virtual ~VirtualPeer() = default;
    virtual void PageTo(const std::string& to, const std::string& from,
                        const std::string& text) = 0;
    virtual void PrivateTo(const std::string& to, const std::string& from,
                           const std::string& text) = 0;
    // A connected user joined a channel where one of them sits.
    virtual void Joined(const std::string& channel, const std::string& nick) = 0;
};

// Channel types as the location reply reports them.
enum class ChannelType { Lobby = 0, Game = 12 };

// The service's state and protocol: log-on, accounts and buddy lists, locations, pages, lobbies.
// No sockets here; one thread drives it.
class ChatServer : public ConnectionHandler {
public:
    static constexpr std::string_view kLobbyKey = "plumvex4";
    static constexpr int kLobbyCount = 10;

    ChatServer(Outlet& out, AccountStore& accounts, Clock::duration pingInterval);

    void Connected(ConnId id, Clock::time_point now) override;
    void Received(ConnId id, std::string_view line, Clock::time_point now) override;
    void Disconnected(ConnId id, std::string_view reason) override;

    // Pings idle connections and drops those that stopped answering.
    void Tick(Clock::time_point now);
    Clock::time_point NextTick() const { return nextPingScan_; }

    static std::string LobbyName(int index);  // "#Lob_12_" + index

    // Users inside the server. They log on without a connection; their nicknames are reserved so
    // that nobody logs on in their place while they are away.
    void SetVirtualPeer(VirtualPeer* peer) { peer_ = peer; }
    void ReserveNick(std::string_view nick);
    bool LogOnVirtual(std::string_view nick, bool hiding, bool op);
    void LogOffVirtual(std::string_view nick, std::string_view reason);
    void JoinVirtual(std::string_view nick, std::string_view channel, ChannelType type);
    void PartVirtual(std::string_view nick, std::string_view channel);
    void SayVirtual(std::string_view nick, std::string_view target, std::string_view text);
    void PageVirtual(std::string_view nick, std::string_view target, std::string_view text);

    bool IsOnline(std::string_view nick) const { return users_.count(LowerAscii(nick)) != 0; }
    std::size_t ConnectionCount() const { return conns_.size(); }

private:
    struct Conn {
        std::string nick;  // from NICK, until log-on
        std::string code;  // from apgar
        bool gotNick = false;
        bool gotUser = false;
        std::string userKey;  // lower-cased nickname once logged on
        Clock::time_point lastHeard;
        bool pinged = false;
    };
    struct User {
        std::string nick;
        ConnId conn = 0;  // 0 for a user inside the server
        bool hiding = false;
        bool op = false;
        std::vector<std::string> channels;  // keys, in join order
    };
    struct Channel {
        std::string name;
        ChannelType type = ChannelType::Lobby;
        std::vector<std::string> members;  // user keys, in join order
    };

    // Log-on.
    void HandleUnregistered(ConnId id, Conn& conn, const Command& cmd);
    void TryLogOn(ConnId id, Conn& conn);
    void Refuse(ConnId id, std::string_view nick, std::string_view reason);
    void SendMotd(ConnId id, const std::string& nick);

    void HandleRegistered(ConnId id, Conn& conn, const Command& cmd);
    void HandleBuddies(ConnId id, const User& user, const Command& cmd);
    void HandleFindUser(ConnId id, std::string_view requester, std::string_view nick);
    void HandlePage(ConnId id, User& user, const Command& cmd);

    // Channels and messages, shared by connected and inner users.
    void HandleList(ConnId id, const std::string& nick);
    void Join(const std::string& userKey, std::string_view channel, std::string_view key);
    void Part(const std::string& userKey, std::string_view channel);
    void Message(const std::string& userKey, std::string_view targets, std::string_view text);
    void Quit(std::string userKey, std::string_view reason);
    void SendNames(ConnId id, const std::string& nick, const Channel& channel);
    void SendToMembers(const Channel& channel, std::string_view line, const std::string& except);

    void DropConnection(ConnId id, std::string_view reason);
    void Reply(ConnId id, std::string_view code, std::string_view nick, std::string_view rest);
    void SendRaw(ConnId id, std::string_view line);
    std::string Prefix(const User& user) const;
    User* FindUser(std::string_view nick);
    Channel* FindChannel(std::string_view name);

    Outlet& out_;
    AccountStore& accounts_;
    Clock::duration pingInterval_;
    Clock::time_point nextPingScan_{};
    VirtualPeer* peer_ = nullptr;
    std::unordered_map<ConnId, Conn> conns_;
    std::unordered_map<std::string, User> users_;        // by lower-cased nickname
    std::unordered_map<std::string, Channel> channels_;  // by lower-cased name
    std::unordered_set<std::string> reserved_;
};

}  // namespace vantor::server
