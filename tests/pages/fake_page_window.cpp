// SPDX-License-Identifier: MIT
#include "pages/fake_page_window.h"

#include <algorithm>

#include "common/liveness.h"

namespace vantor::test {

void FakePageWindow::Received(const std::string& text) {
    received.push_back(text);
    CallCopy(onReceived);
}

void FakePageWindow::Close() {
    if (closingRaised > 0) return;
    ++closingRaised;
    CallCopy(Closing);
}

void FakePageWindow::UserSends(const std::string& text) {
    CallCopy(SendMsg, text);
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

}  // namespace vantor::test
