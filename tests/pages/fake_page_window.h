// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/liveness.h"
#include "pages/page_window.h"

namespace vantor::test {

// A page window that records what the conversation asks of it. Disposing only marks it, so a
// test can still look at a window after its conversation let go of it.
class FakePageWindow : public PageWindow {
public:
    void SetFrom(const std::string& nick) override { from = nick; }
    void SetUser(const std::string& nick) override { user = nick; }
    void FocusSendBox() override { ++sendBoxFocus; }
    void Received(const std::string& text) override {
        received.push_back(text);
        CallCopy(onReceived);
    }
    void Notify(const std::string& text) override { notices.push_back(text); }
    void ShowWindow() override { ++shown; }
    void Activate() override { ++activated; }
    void Close() override {  // also the title-bar button
        if (closingRaised > 0) return;
        ++closingRaised;
        CallCopy(Closing);
    }
    void RequestAttention() override { ++attention; }
    void ShowIgnored(bool on) override { ignored = on; }
    void Dispose() override { disposed = true; }

    void UserSends(const std::string& text) { CallCopy(SendMsg, text); }  // typed, then Enter
    void UserPressesIgnore() { CallCopy(IgnoreClick); }

    std::string from, user;
    std::vector<std::string> received, notices;
    int sendBoxFocus = 0, activated = 0, attention = 0, shown = 0, closingRaised = 0;
    bool disposed = false;
    bool ignored = false;  // what the IGNORE button offers

    // Runs inside Received, where the Qt window lets pending events through.
    std::function<void()> onReceived;
};

// Installs a factory of fake windows for the test's lifetime and keeps every window made.
class FakePageWindows {
public:
    FakePageWindows() {
        SetPageWindowFactory([this] {
            windows_.push_back(std::make_unique<FakePageWindow>());
            return PageWindowPtr(windows_.back().get());
        });
    }
    ~FakePageWindows() { SetPageWindowFactory(nullptr); }
    FakePageWindows(const FakePageWindows&) = delete;
    FakePageWindows& operator=(const FakePageWindows&) = delete;

    std::size_t Made() const { return windows_.size(); }
    FakePageWindow& operator[](std::size_t i) { return *windows_.at(i); }

private:
    std::vector<std::unique_ptr<FakePageWindow>> windows_;
};

}  // namespace vantor::test
