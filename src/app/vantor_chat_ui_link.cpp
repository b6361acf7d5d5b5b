// SPDX-License-Identifier: MIT
// The main window when its connection is lost: what the other windows are told.
#include "app/vantor_chat_ui.h"
#include "chat/chat_ui.h"
#include "reorder/reorder_ui.h"

namespace vantor {

void VantorChatUI::LinkChanged(bool down) {
    TellWindows(down);
}

void VantorChatUI::TellWindows(bool down) {
    WOL().Pages().SetLinkDown(down);
    WOL().Pages().NoticeAll(down ? "Connection lost." : "Reconnected.");
    if (auto* chat = qobject_cast<ChatUI*>(cht_.data())) {
        if (down) {
            chat->LinkDown();
        } else {
            chat->LinkRestored();
        }
    }
}

bool VantorChatUI::TellReorder(std::optional<ErrorCode> error) {
    if (!reordUI_) return false;
    if (!error) {
        reordUI_->ConnectionLost();
        return false;
    }
    // A running reorder names the error in its own box, with what becomes of its buddies.
    const bool tells = reordUI_->Busy();
    reordUI_->SessionError(Number(*error));
    return tells;
}

}  // namespace vantor
