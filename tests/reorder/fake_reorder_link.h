// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "reorder/reorder_link.h"
#include "transport/reply_queue.h"

namespace vantor::test {

// Records what is sent and matches answers to the waiting commands with the transport's own
// reply queue, so a test plays the service one reply code at a time.
class FakeReorderLink : public ReorderLink {
public:
    struct Sent {
        std::string command;
        Param param;
        std::string code;
    };
    std::vector<Sent> sent;
    bool connected = true;
    std::string nick = "me";
    std::function<void(const std::string& command)> onSend;  // after recording; may re-enter
    ReplyQueue queue;

    void send(std::string_view command, ReplySpec reply) override {
        std::string code = JoinCodes(reply.codes);
        sent.push_back({std::string(command), reply.param, code});
        if (reply.callback)
            queue.Append(SendInfo{reply.callback, std::move(reply.param), std::move(code), {}, {}});
        if (auto handler = onSend) handler(std::string(command));
    }
    bool Connected() const override { return connected; }
    std::string NickName() const override { return nick; }

    // The service answers the oldest waiting command with this code; false when nothing took it.
    bool Answer(const std::string& code) {
        auto match = queue.Offer(code);
        if (!match) return false;
        if (match->callback)
            match->callback->Raise(":s " + code + " " + nick + " x", match->kind, match->param);
        return true;
    }
    void Answer(const std::string& code, int times) {
        for (int i = 0; i < times; ++i) Answer(code);
    }

    // The commands sent, joined by "|", from position `from` on.
    std::string Commands(std::size_t from = 0) const {
        std::string out;
        for (std::size_t i = from; i < sent.size(); ++i) {
            if (!out.empty()) out += '|';
            out += sent[i].command;
        }
        return out;
    }
};

}  // namespace vantor::test
