// SPDX-License-Identifier: MIT
#pragma once

#include <any>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chat/chat_link.h"

namespace vantor::test {

// Records the commands the lobby sends and which intercepts it holds, with their request; keeps
// the callbacks, so a test can hand lines back the way the connection would.
class RecordingLink : public ChatLink {
public:
    struct Sent {
        std::string command;
        ReplySpec reply;
    };
    std::vector<std::string> sent;
    std::vector<Sent> replies;  // every command sent, with what it awaits
    std::map<std::string, int, std::less<>> intercepts;
    std::map<std::string, std::shared_ptr<Callback>, std::less<>> handlers;

    void send(std::string_view command, ReplySpec reply) override {
        sent.emplace_back(command);
        replies.push_back({std::string(command), std::move(reply)});
    }
    InterceptRegistration RegisterIntercept(std::string code, std::shared_ptr<Callback> callback,
                                            Param param) override {
        intercepts[code] = std::any_cast<int>(param);
        handlers[code] = std::move(callback);
        return InterceptRegistration([this, code] {
            intercepts.erase(code);
            handlers.erase(code);
        });
    }
    void Renamed(const std::string& from, const std::string& to) override {
        renames.push_back(from + ">" + to);
    }
    std::vector<std::string> renames;  // "from>to"

    std::string Last() const { return sent.empty() ? std::string() : sent.back(); }
};

}  // namespace vantor::test
