// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "reorder/reorder_link.h"
#include "session/wolcon.h"
#include "transport/wolcon2.h"

namespace vantor::test {

// Sends through the session, but the connection dies just as the first add would go out: a
// reorder whose deletes all went through and none of its adds.
class DyingReorderLink : public ReorderLink {
public:
    explicit DyingReorderLink(WOLCon& wol) : wol_(wol), inner_(MakeWolReorderLink(wol)) {}
    void send(std::string_view command, ReplySpec reply) override {
        if (command.starts_with("ADDBUDDY ")) wol_.Interface().Disconnect();
        inner_->send(command, std::move(reply));
    }
    bool Connected() const override { return inner_->Connected(); }
    std::string NickName() const override { return inner_->NickName(); }

private:
    WOLCon& wol_;
    std::unique_ptr<ReorderLink> inner_;
};

}  // namespace vantor::test
