// SPDX-License-Identifier: MIT
#include "chat/chat_link.h"

#include "session/wolcon.h"

namespace vantor {

namespace {

class WolLink final : public ChatLink {
public:
    explicit WolLink(WOLCon& wol) : wol_(wol) {}
    void send(std::string_view command, ReplySpec reply) override {
        wol_.send(command, std::move(reply));
    }
    InterceptRegistration RegisterIntercept(std::string code, std::shared_ptr<Callback> callback,
                                            Param param) override {
        return wol_.RegisterIntercept(std::move(code), std::move(callback), std::move(param));
    }
    void Renamed(const std::string& from, const std::string& to) override {
        wol_.Pages().Renamed(from, to);
    }

private:
    WOLCon& wol_;
};

}  // namespace

std::shared_ptr<ChatLink> ChatLinkTo(WOLCon& wol) {
    return std::make_shared<WolLink>(wol);
}

}  // namespace vantor
