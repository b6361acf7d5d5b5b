// SPDX-License-Identifier: MIT
#include "pages/fake_page_window.h"

#include <algorithm>

namespace vantor::test {

void FakePageWindow::Received(const std::string& text) {
    received.push_back(text);
    if (const auto hook = onReceived) hook();
}

void FakePageWindow::Close() {
    if (closingRaised > 0) return;
    ++closingRaised;
    if (const auto handler = Closing) handler();
}

void FakePageWindow::UserSends(const std::string& text) {
    if (const auto handler = SendMsg) handler(text);
}

void FakePageWindow::UserCloses() {
    Close();
}

FakePageWindows::FakePageWindows() {
    SetPageWindowFactory([this] {
        windows_.push_back(std::make_unique<FakePageWindow>());
        return PageWindowPtr(windows_.back().get());
    });
}

FakePageWindows::~FakePageWindows() {
    SetPageWindowFactory(nullptr);
}

LogCapture::LogCapture() : previous_(debug_detail::g_debugForm) {
    debug_detail::g_debugForm = this;
}

LogCapture::~LogCapture() {
    debug_detail::g_debugForm = previous_;
}

void LogCapture::AddDebug(const Tag&, std::string_view message, int kind) {
    messages.emplace_back(message);
    kinds.push_back(kind);
}

bool LogCapture::Has(const std::string& message, int kind) const {
    for (std::size_t i = 0; i < messages.size(); ++i)
        if (messages[i] == message && kinds[i] == kind) return true;
    return false;
}

}  // namespace vantor::test
