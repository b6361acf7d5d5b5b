// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "transport/callback.h"
#include "transport/reply_spec.h"

namespace vantor {

class WOLCon;

// What the lobby needs of its session: queued commands and standing intercepts.
// The lobby talks to the service only through this, so tests can record what it sends.
class ChatLink {
public:
    virtual ~ChatLink() = default;
    virtual void send(std::string_view command, ReplySpec reply = {}) = 0;
    // The intercept holds while the registration lives.
    [[nodiscard]] virtual InterceptRegistration RegisterIntercept(
        std::string code, std::shared_ptr<Callback> callback, Param param = {}) = 0;
    // A user of the lobby changed nickname: a page conversation with them follows.
    virtual void Renamed(const std::string& from, const std::string& to) {
        (void)from;
        (void)to;
    }
};

// The link through a logged-on session; the session outlives the lobby that uses it.
std::shared_ptr<ChatLink> ChatLinkTo(WOLCon& wol);

}  // namespace vantor
