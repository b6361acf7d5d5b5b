// SPDX-License-Identifier: MIT
#include "demo_cast.h"

#include "password_code.h"

namespace vantor::server {
namespace {

const std::string kLobby0 = ChatServer::LobbyName(0);
constexpr const char* kGame = "#_ColdFront";

constexpr const char* kMarlaLines[] = {
    "anyone up for a quick match?",
    "gg to everyone from last night",
    "who is hosting tonight?",
    "the new maps are great, try the river one",
    "brb, coffee",
    "lag is really low today",
    "tanker has been in that game for ages",
};

constexpr const char* kDozerActions[] = {
    "yawns", "polishes his tank", "waves at everyone", "studies the map", "stretches",
};

// The service's clients write the text right after the word ACTION, with no space.
std::string Action(std::string_view text) {
    return "\x01"
           "ACTION" +
           std::string(text) + "\x01";
}

}  // namespace

const DemoCast::DemoAccount DemoCast::kAccounts[2] = {
    {"demo", "demo", "echo`marla`dozer`rover`tanker`shade`warden`guest"},
    {"guest", "guest", "demo`echo`rover"},
};

DemoCast::DemoCast(ChatServer& server, AccountStore& accounts, unsigned seed)
    : server_(server), accounts_(accounts), rng_(seed) {}

void DemoCast::Start(Clock::time_point now) {
    now_ = now;
    for (const auto& demo : kAccounts) {
        std::string code = EncodePassword(demo.password);
        if (Account* account = accounts_.Find(demo.nick)) {
            accounts_.SetCode(*account, code);  // the documented password always works
            continue;
        }
        Account& account = accounts_.Create(demo.nick, code);
        for (auto buddy : SplitList(demo.buddies, '`')) accounts_.AddBuddy(account, buddy);
    }

    server_.SetVirtualPeer(this);
    server_.ReserveNick("rover");
    server_.LogOnVirtual("warden", false, true);
    server_.JoinVirtual("warden", kLobby0, ChannelType::Lobby);
    server_.LogOnVirtual("marla", false, false);
    server_.JoinVirtual("marla", kLobby0, ChannelType::Lobby);
    server_.LogOnVirtual("dozer", false, false);
    server_.JoinVirtual("dozer", kLobby0, ChannelType::Lobby);
    server_.LogOnVirtual("tanker", false, false);
    server_.JoinVirtual("tanker", kGame, ChannelType::Game);
    server_.LogOnVirtual("shade", true, false);
    server_.LogOnVirtual("echo", false, false);

    At(Between(5, 15), [this] { MarlaChats(); });
    At(Between(10, 25), [this] { DozerEmotes(); });
    RoverArrives();
}

Clock::time_point DemoCast::Tick(Clock::time_point now) {
    now_ = now;
    // One at a time: an action may add new ones, also due ones.
    while (!agenda_.empty() && agenda_.begin()->first <= now) {
        auto action = std::move(agenda_.begin()->second);
        agenda_.erase(agenda_.begin());
        action();
    }
    return agenda_.empty() ? now + std::chrono::hours(1) : agenda_.begin()->first;
}

void DemoCast::PageTo(const std::string& to, const std::string& from, const std::string& text) {
    // Invitations and their refusals are client machinery, not words to echo.
    if (to != "echo" || text.rfind("<WW", 0) == 0) return;
    At(std::chrono::milliseconds(200),
       [this, from, text] { server_.PageVirtual("echo", from, text); });
}

void DemoCast::PrivateTo(const std::string& to, const std::string& from, const std::string& text) {
    if (to != "echo") return;
    At(std::chrono::milliseconds(200),
       [this, from, text] { server_.SayVirtual("echo", from, text); });
}

void DemoCast::Joined(const std::string& channel, const std::string& nick) {
    if (!SameAsciiNoCase(channel, kLobby0)) return;
    At(std::chrono::seconds(1), [this, nick] {
        if (server_.IsOnline(nick)) {
            server_.SayVirtual("warden", kLobby0,
                               "Welcome to Azure Barracks, " + nick + ". Play fair.");
        }
    });
}

void DemoCast::At(Clock::duration delay, std::function<void()> action) {
    agenda_.emplace(now_ + delay, std::move(action));
}

Clock::duration DemoCast::Between(int minSeconds, int maxSeconds) {
    return std::chrono::seconds(std::uniform_int_distribution<int>(minSeconds, maxSeconds)(rng_));
}

void DemoCast::MarlaChats() {
    server_.SayVirtual("marla", kLobby0, kMarlaLines[marlaLine_++ % std::size(kMarlaLines)]);
    At(Between(20, 40), [this] { MarlaChats(); });
}

void DemoCast::DozerEmotes() {
    server_.SayVirtual("dozer", kLobby0,
                       Action(kDozerActions[dozerLine_++ % std::size(kDozerActions)]));
    At(Between(25, 50), [this] { DozerEmotes(); });
}

void DemoCast::RoverArrives() {
    if (!server_.LogOnVirtual("rover", false, false)) {
        At(Between(20, 30), [this] { RoverArrives(); });
        return;
    }
    At(Between(2, 5), [this] { RoverWanders(3); });
}

// Moves to a random lobby, says hello, and after a few moves logs off for a while.
void DemoCast::RoverWanders(int movesLeft) {
    if (!roverLobby_.empty()) server_.PartVirtual("rover", roverLobby_);
    if (movesLeft == 0) {
        roverLobby_.clear();
        server_.LogOffVirtual("rover", "Quit: off to play");
        At(Between(20, 30), [this] { RoverArrives(); });
        return;
    }
    roverLobby_ = ChatServer::LobbyName(std::uniform_int_distribution<int>(0, 9)(rng_));
    server_.JoinVirtual("rover", roverLobby_, ChannelType::Lobby);
    server_.SayVirtual("rover", roverLobby_, "hi all, just passing through");
    At(Between(15, 25), [this, movesLeft] { RoverWanders(movesLeft - 1); });
}

}  // namespace vantor::server
