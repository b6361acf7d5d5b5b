// SPDX-License-Identifier: MIT
#pragma once

#include <utility>

namespace vantor::test {

// Where the bundled service's demo users are, as the buddy list of the demo account shows them:
// those who stay put (the others wander between lobbies).
inline constexpr std::pair<const char*, const char*> kDemoPlaces[] = {
    {"tanker", "Game: ColdFront"},
    {"shade", "Hiding"},
    {"warden", "Chat Room: Azure Barracks"},
    {"echo", "Logged In"},
    {"guest", "Not Logged In"},
};
inline constexpr int kDemoBuddies = 8;  // on the demo account's list

}  // namespace vantor::test
