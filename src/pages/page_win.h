// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/liveness.h"
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
    virtual bool Ignored(std::string_view nick) const = 0;
    virtual void SetIgnored(const std::string& nick, bool ignored) = 0;
};

// One page conversation with one remote user; owns its window. Always held by shared_ptr: the
// set owns it, and a page's queued reply refers to it weakly. Any call into its window may drop
// it from the set (and so destroy it); it checks its Liveness after each.
class PageWin : public std::enable_shared_from_this<PageWin> {
public:
    PageWin() = default;
    ~PageWin();
    PageWin(const PageWin&) = delete;
    PageWin& operator=(const PageWin&) = delete;

    // The set this conversation belongs to, not owned; the watch says whether it still exists.
    void SetWOL(PageHost* host, Liveness::Watch hostAlive) {
        host_ = host;
        hostAlive_ = std::move(hostAlive);
    }
    PageHost* WOL() const { return hostAlive_() ? host_ : nullptr; }

    void InPage(const std::string& message);
    void Callback(std::int32_t result);    // the page reply's result code
    void Notify(const std::string& text);  // a local notice in the conversation
    void Rename(std::string nick);         // the remote user is known by another name now
    void ShowIgnored();                    // the ignore list changed: the window says so
    void SetFocus();
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
    void mvarWindow_IgnoreClick();

    PageHost* host_ = nullptr;
    Liveness::Watch hostAlive_;
    std::string nickName_;
    std::string fromNick_;
    PageWindowPtr mvarWindow_;
    Liveness alive_;
};

}  // namespace vantor
