// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/debug_log.h"

namespace vantor::test {

struct LogEntry {
    std::string text;
    int kind;
};
using LogEntries = std::vector<LogEntry>;

inline bool HasEntry(const LogEntries& log, std::string_view text, int kind) {
    for (const LogEntry& e : log) {
        if (e.text == text && e.kind == kind) return true;
    }
    return false;
}

// Records every debug-log entry in place of the debug window; the log outlives the window, which
// the debug log owns.
class RecordingWindow final : public DebugWindow {
public:
    explicit RecordingWindow(std::shared_ptr<LogEntries> log) : log_(std::move(log)) {}
    void AddDebug(const Tag&, std::string_view message, int kind) override {
        log_->push_back({std::string(message), kind});
    }
    void ShowWindow() override {}
    void ShutDown() override {}

private:
    std::shared_ptr<LogEntries> log_;
};

// Catches debug-log entries for its lifetime, without the window factory and its setting.
class LogCapture {
public:
    LogCapture() : previous_(debug_detail::g_debugForm) { debug_detail::g_debugForm = &window_; }
    ~LogCapture() { debug_detail::g_debugForm = previous_; }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    bool Has(std::string_view message, int kind = kLogNote) const {
        return HasEntry(*entries, message, kind);
    }

    const std::shared_ptr<LogEntries> entries = std::make_shared<LogEntries>();

private:
    RecordingWindow window_{entries};
    DebugWindow* previous_ = nullptr;
};

}  // namespace vantor::test
