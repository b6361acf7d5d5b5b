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
}

}  // namespace

void SetPageWindowFactory(PageWindowFactory factory) {
    Factory() = std::move(factory);
}

PageWin::~PageWin() {
    if (mvarWindow_) Detach(*mvarWindow_);
}

void PageWin::InPage(const std::string& message) {
    const auto keep = weak_from_this().lock();  // the window's event loop may close us
    if (!mvarWindow_) return;
    mvarWindow_->Received(message);
    if (mvarWindow_) mvarWindow_->RequestAttention();
}

void PageWin::Callback(std::int32_t result) {
    const auto keep = weak_from_this().lock();
    if (result == 1 && mvarWindow_) mvarWindow_->Notify("User is offline!");
}

void PageWin::Notice(const std::string& text) {
    const auto keep = weak_from_this().lock();
    if (mvarWindow_) mvarWindow_->Notify(text);
}

void PageWin::SetFocus() {
    const auto keep = weak_from_this().lock();
    if (mvarWindow_) mvarWindow_->Activate();
    if (mvarWindow_) mvarWindow_->FocusSendBox();
}

void PageWin::CreateWin() {
    const auto keep = weak_from_this().lock();
    const PageWindowFactory factory = Factory();
    if (!factory) return;
    PageWindowPtr window = factory();
    if (!window) return;

    const std::weak_ptr<PageWin> weak = weak_from_this();
    window->SendMsg = [weak](const std::string& text) {
        if (const auto self = weak.lock()) self->mvarWindow_SendMsg(text);
    };
    window->Closing = [weak] {
        if (const auto self = weak.lock()) self->mvarWindow_Closing();
    };
    if (mvarWindow_) Detach(*mvarWindow_);
    mvarWindow_ = std::move(window);

    mvarWindow_->SetFrom(fromNick_);
    mvarWindow_->SetUser(nickName_);
    if (mvarWindow_) mvarWindow_->ShowWindow();
    if (mvarWindow_) mvarWindow_->FocusSendBox();
}

void PageWin::CloseWin() {
    const auto keep = weak_from_this().lock();
    PageWindowPtr window = std::move(mvarWindow_);
    if (window) window->Close();  // raises Closing, which drops us from the set
    // Also when there was no window, or it had already raised Closing: the set must not keep
    // a conversation that has nothing left to show.
    if (const auto host = host_.lock()) host->RemovePageWin(*this);
    if (window) Detach(*window);
}

void PageWin::mvarWindow_Closing() {
    const auto keep = weak_from_this().lock();
    PageWindowPtr window = std::move(mvarWindow_);  // released late: the Qt window defers it
    if (window) Detach(*window);
    if (const auto host = host_.lock()) host->RemovePageWin(*this);
}

void PageWin::mvarWindow_SendMsg(const std::string& message) {
    const auto self = weak_from_this().lock();
    if (!self) return;
    if (const auto host = host_.lock()) host->PageUser(fromNick_, message, self);
}

}  // namespace vantor
