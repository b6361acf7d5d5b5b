// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <map>
#include <random>
#include <string>

#include "account_store.h"
#include "chat_server.h"

namespace vantor::server {

// The scripted users of --demo, living inside the server, and the demo accounts whose buddy
// lists hold them:
//   warden  operator of Azure Barracks; welcomes whoever joins it
//   marla   sits in Azure Barracks and chats now and then
//   dozer   sits in Azure Barracks and emotes now and then
//   rover   comes and goes: logs on, wanders through the lobbies, logs off, comes back
//   tanker  is in a game (the game channel #_ColdFront)
//   shade   is logged on but hiding
//   echo    answers every page and private message by sending it back
class DemoCast : public VirtualPeer {
public:
    struct DemoAccount {
        const char* nick;
        const char* password;
        const char* buddies;  // joined by the grave accent
    };
    static const DemoAccount kAccounts[2];

    DemoCast(ChatServer& server, AccountStore& accounts, unsigned seed);

    // Creates or repairs the demo accounts and brings the cast on.
    void Start(Clock::time_point now);
    // Runs what is due; returns when it next has something to do.
    Clock::time_point Tick(Clock::time_point now);

    void PageTo(const std::string& to, const std::string& from, const std::string& text) override;
    void PrivateTo(const std::string& to, const std::string& from,
                   const std::string& text) override;
    void Joined(const std::string& channel, const std::string& nick) override;

private:
    void At(Clock::duration delay, std::function<void()> action);
    Clock::duration Between(int minSeconds, int maxSeconds);
    void MarlaChats();
    void DozerEmotes();
    void RoverArrives();
    void RoverWanders(int movesLeft);

    ChatServer& server_;
    AccountStore& accounts_;
    std::mt19937 rng_;
    Clock::time_point now_{};
    std::multimap<Clock::time_point, std::function<void()>> agenda_;
    std::size_t marlaLine_ = 0;
    std::size_t dozerLine_ = 0;
    std::string roverLobby_;
};

}  // namespace vantor::server
