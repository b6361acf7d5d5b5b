// SPDX-License-Identifier: MIT
#include "pages/page_win.h"

#include <utility>

namespace vantor {

namespace {

PageWindowFactory& Factory() {
    static PageWindowFactory factory;
    return factory;
}

// The window is leaving this conversation: its events must not reach us any more.
void Detach(PageWindow& window) {
    window.SendMsg = nullptr;
    window.Closing = nullptr;
    window.IgnoreClick = nullptr;
}

}  // namespace

void SetPageWindowFactory(PageWindowFactory factory) {
    Factory() = std::move(factory);
}

PageWin::~PageWin() {
    if (mvarWindow_) Detach(*mvarWindow_);
}

void PageWin::InPage(const std::string& message) {
    if (!mvarWindow_) return;
    const auto alive = alive_.watch();  // the window's event loop may close us
    mvarWindow_->Received(message);
    if (alive() && mvarWindow_) mvarWindow_->RequestAttention();
}

void PageWin::Callback(std::int32_t result) {
    if (result == 1 && mvarWindow_) mvarWindow_->Notify("User is offline!");
}

void PageWin::Notify(const std::string& text) {
    const auto keep = weak_from_this().lock();
    if (mvarWindow_) mvarWindow_->Notify(text);
}

void PageWin::Rename(std::string nick) {
    fromNick_ = std::move(nick);
    if (mvarWindow_) mvarWindow_->SetFrom(fromNick_);
    ShowIgnored();
}

void PageWin::ShowIgnored() {
    const PageHost* host = WOL();
    if (mvarWindow_ && host) mvarWindow_->ShowIgnored(host->Ignored(fromNick_));
}

void PageWin::SetFocus() {
    if (!mvarWindow_) return;
    const auto alive = alive_.watch();
    mvarWindow_->Activate();
    if (alive() && mvarWindow_) mvarWindow_->FocusSendBox();
}

void PageWin::CreateWin() {
    const auto alive = alive_.watch();
    PageWindowPtr window = CallCopy(Factory());
    if (!alive() || !window) return;

    // The window's events reach this conversation only while it holds the window: every path
    // that lets go of it detaches them first.
    window->SendMsg = [this](const std::string& text) { mvarWindow_SendMsg(text); };
    window->Closing = [this] { mvarWindow_Closing(); };
    window->IgnoreClick = [this] { mvarWindow_IgnoreClick(); };
    if (mvarWindow_) Detach(*mvarWindow_);
    mvarWindow_ = std::move(window);

    mvarWindow_->SetFrom(fromNick_);
    mvarWindow_->SetUser(nickName_);
    ShowIgnored();
    mvarWindow_->ShowWindow();
    if (alive() && mvarWindow_) mvarWindow_->FocusSendBox();
}

void PageWin::CloseWin() {
    const auto alive = alive_.watch();
    PageWindowPtr window = std::move(mvarWindow_);
    if (window) window->Close();  // raises Closing, which drops us from the set
    // Also when there was no window, or it had already raised Closing: the set must not keep
    // a conversation that has nothing left to show.
    if (alive()) {
        if (PageHost* host = WOL()) host->RemovePageWin(*this);
    }
    if (window) Detach(*window);
}

void PageWin::mvarWindow_Closing() {
    PageWindowPtr window = std::move(mvarWindow_);  // released late: the Qt window defers it
    if (window) Detach(*window);
    if (PageHost* host = WOL()) host->RemovePageWin(*this);
}

void PageWin::mvarWindow_SendMsg(const std::string& message) {
    // The reply is awaited with a weak reference: the conversation may close before it comes.
    if (PageHost* host = WOL()) host->PageUser(fromNick_, message, shared_from_this());
}

void PageWin::mvarWindow_IgnoreClick() {
    // The list tells every window with this peer, this one included, what it now offers.
    if (PageHost* host = WOL()) host->SetIgnored(fromNick_, !host->Ignored(fromNick_));
}

}  // namespace vantor
