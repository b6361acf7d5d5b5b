// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vantor {

// The window of one page conversation as the routing core sees it. The Qt window implements it;
// tests use a fake. Texts are Windows-1252 bytes.
class PageWindow {
public:
    virtual ~PageWindow() = default;

    virtual void SetFrom(const std::string& nick) = 0;  // the remote nickname; sets the caption
    virtual void SetUser(const std::string& nick) = 0;  // this user's own nickname
    virtual void FocusSendBox() = 0;
    virtual void Received(const std::string& text) = 0;  // may run pending window events
    virtual void Notify(const std::string& text) = 0;    // may run pending window events
    virtual void ShowWindow() = 0;
    virtual void Activate() = 0;          // raise and give the window the focus
    virtual void Close() = 0;             // raises Closing unless it was raised already
    virtual void RequestAttention() = 0;  // a page arrived; flash when not the active window
    // Whether the remote user is on the ignore list: what the IGNORE button offers.
    virtual void ShowIgnored(bool ignored) = 0;

    // Called instead of delete by the owner. A window may be inside one of its own event
    // handlers when its owner lets go of it, so the Qt window defers its deletion.
    virtual void Dispose() { delete this; }

    // Events. Raised with a copy of the handler, so a handler may clear or replace them.
    std::function<void(const std::string& text)> SendMsg;  // the user sent a non-empty line
    std::function<void()> Closing;                         // exactly once, however it goes
    std::function<void()> IgnoreClick;                     // the user pressed IGNORE (or UNIGNORE)
};

struct PageWindowDisposer {
    void operator()(PageWindow* window) const {
        if (window != nullptr) window->Dispose();
    }
};
using PageWindowPtr = std::unique_ptr<PageWindow, PageWindowDisposer>;

// Makes the window of a new conversation; installed by the UI. Without one, conversations have
// no window (core-only programs).
using PageWindowFactory = std::function<PageWindowPtr()>;
void SetPageWindowFactory(PageWindowFactory factory);

}  // namespace vantor
