// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "transport/callback.h"

namespace vantor {

// What the lobby chat window needs of its session: queued commands and standing intercepts.
// The window talks to the service only through this, so tests can record what it sends.
class ChatLink {
public:
    virtual ~ChatLink() = default;
    virtual void send(std::string_view command, Param param = {},
                      std::shared_ptr<Callback> callback = {}, std::string code = {},
                      std::string cStart = {}, std::string cEnd = {}) = 0;
    virtual void RegisterIntercept(std::string code, std::shared_ptr<Callback> callback,
                                   Param param = {}) = 0;
    virtual void RemoveIntercept(std::string_view code) = 0;
};

}  // namespace vantor
