// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "transport/callback.h"

namespace vantor {

class WOLCon;

// The codes that answer a buddy command: its own answer first, then the error replies the service
// may give instead. An error must end the wait for that command rather than leave it queued.
inline constexpr std::string_view kDelBuddyCodes = "335,401,421,451,461";
inline constexpr std::string_view kAddBuddyCodes = "334,401,421,451,461";
inline constexpr std::string_view kDelBuddyAnswer = "335";
inline constexpr std::string_view kAddBuddyAnswer = "334";

// What the buddy reorder needs of its session: queued commands, whether the link is up, and
// whose list it changes. The reorder talks to the service only through this, so tests can record
// what it sends and answer it themselves.
class ReorderLink {
public:
    virtual ~ReorderLink() = default;
    virtual void send(std::string_view command, Param param = {},
                      std::shared_ptr<Callback> callback = {}, std::string code = {}) = 0;
    virtual bool Connected() const = 0;
    virtual std::string NickName() const = 0;  // the account whose buddy list this is
};

// Sends through the session; the session must outlive the link.
std::unique_ptr<ReorderLink> MakeWolReorderLink(WOLCon& wol);

}  // namespace vantor
