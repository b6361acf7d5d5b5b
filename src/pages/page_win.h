// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "pages/page_window.h"

namespace vantor {

class PageWin;

// What a conversation needs from the set of conversations that owns it.
class PageHost {
public:
    virtual ~PageHost() = default;
    // The conversation's window is closing: drop this very conversation (not merely its key).
    virtual void RemovePageWin(const PageWin& conversation) = 0;
    virtual void PageUser(const std::string& nick, const std::string& message,
                          const std::shared_ptr<PageWin>& window) = 0;
};

// One page conversation with one remote user; owns its window. Always held by shared_ptr: the
// set owns it, and a page's queued reply refers to it weakly.
class PageWin : public std::enable_shared_from_this<PageWin> {
public:
    PageWin() = default;
    ~PageWin();
    PageWin(const PageWin&) = delete;
    PageWin& operator=(const PageWin&) = delete;

    void SetWOL(std::weak_ptr<PageHost> host) { host_ = std::move(host); }
    std::shared_ptr<PageHost> WOL() const { return host_.lock(); }

    void InPage(const std::string& message);
    void Callback(std::int32_t result);  // the page reply's result code
    void SetFocus();
    void Notice(const std::string& text);  // a notice line in the window, if it has one
    void CreateWin();
    void CloseWin();
    PageWindow* Window() const { return mvarWindow_.get(); }

    void SetNickName(std::string nick) { nickName_ = std::move(nick); }
    const std::string& NickName() const { return nickName_; }
    void SetFromNick(std::string nick) { fromNick_ = std::move(nick); }
    const std::string& FromNick() const { return fromNick_; }

private:
    void mvarWindow_Closing();
    void mvarWindow_SendMsg(const std::string& message);

    std::weak_ptr<PageHost> host_;
    std::string nickName_;
    std::string fromNick_;
    PageWindowPtr mvarWindow_;
};

}  // namespace vantor
