// SPDX-License-Identifier: MIT
#include "reorder/reorder_link.h"

#include <utility>

#include "session/wolcon.h"
#include "transport/wolcon2.h"

namespace vantor {

namespace {

class WolReorderLink final : public ReorderLink {
public:
    explicit WolReorderLink(WOLCon& wol) : wol_(wol) {}
    void send(std::string_view command, ReplySpec reply) override {
        wol_.send(command, std::move(reply));
    }
    bool Connected() const override { return wol_.Interface().IsConnected(); }
    std::string NickName() const override { return wol_.NickName(); }

private:
    WOLCon& wol_;
};

}  // namespace

std::unique_ptr<ReorderLink> MakeWolReorderLink(WOLCon& wol) {
    return std::make_unique<WolReorderLink>(wol);
}

}  // namespace vantor
