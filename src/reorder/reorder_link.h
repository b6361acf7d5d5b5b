// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <vector>

#include "session/buddy_list.h"
#include "transport/callback.h"
#include "transport/reply_spec.h"

namespace vantor {

class WOLCon;

// The codes that answer a buddy command: its own answer first, then the error replies the service
// may give instead. An error must end the wait for that command rather than leave it queued.
namespace reply {
inline constexpr std::string_view kDelBuddyAnswer = "335";
inline constexpr std::string_view kAddBuddyAnswer = "334";
inline constexpr std::string_view kNoSuchNick = "401";
inline constexpr std::string_view kUnknownCommand = "421";
inline constexpr std::string_view kNotRegistered = "451";
inline constexpr std::string_view kNeedMoreParams = "461";
}  // namespace reply
inline const std::vector<std::string_view> kDelBuddyCodes = {
    reply::kDelBuddyAnswer, reply::kNoSuchNick, reply::kUnknownCommand, reply::kNotRegistered,
    reply::kNeedMoreParams};
inline const std::vector<std::string_view> kAddBuddyCodes = {
    reply::kAddBuddyAnswer, reply::kNoSuchNick, reply::kUnknownCommand, reply::kNotRegistered,
    reply::kNeedMoreParams};

// What the buddy reorder needs of its session: queued commands, whether the link is up, and
// whose list it changes. The reorder talks to the service only through this, so tests can record
// what it sends and answer it themselves.
class ReorderLink {
public:
    virtual ~ReorderLink() = default;
    virtual void send(std::string_view command, ReplySpec reply = {}) = 0;
    virtual bool Connected() const = 0;
    virtual std::string NickName() const = 0;  // the account whose buddy list this is
};

// Sends through the session; the session must outlive the link.
std::unique_ptr<ReorderLink> MakeWolReorderLink(WOLCon& wol);

}  // namespace vantor
