// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "transport/callback.h"
#include "transport/reply_spec.h"

namespace vantor {

// What the lobby chat window needs of its session: queued commands and standing intercepts.
// The window talks to the service only through this, so tests can record what it sends.
class ChatLink {
public:
    virtual ~ChatLink() = default;
    virtual void send(std::string_view command, ReplySpec reply = {}) = 0;
    // The intercept holds while the registration lives.
    [[nodiscard]] virtual InterceptRegistration RegisterIntercept(
        std::string code, std::shared_ptr<Callback> callback, Param param = {}) = 0;
};

}  // namespace vantor
