// SPDX-License-Identifier: MIT
#include "app/stall_meter.h"

#include <QTimer>
#include <string>

#include "diagnostics/debug_log.h"

namespace vantor {

namespace {

constexpr int kWatchdogMs = 50;

// The UI thread only: scopes and the watchdog both run there.
const char* g_running = nullptr;       // the innermost scope now running
const char* g_longestScope = nullptr;  // the longest scope since the watchdog's last tick
std::chrono::milliseconds g_longestScopeTime{0};
unsigned g_ticks = 0;  // watchdog ticks so far

void Report(std::chrono::milliseconds blocked, const char* what) {
    DebugLog(Tag{std::string("M")},
             "Event loop blocked for " + std::to_string(blocked.count()) + " ms by " +
                 (what ? what : "unmarked work") + ".",
             kLogNote);
}

}  // namespace

StallMeter::StallMeter(QObject* parent) : QObject(parent), watchdog_(new QTimer(this)) {
    watchdog_->setObjectName(QStringLiteral("StallWatchdog"));
    watchdog_->setInterval(kWatchdogMs);
    connect(watchdog_, &QTimer::timeout, this, [this] { Tick(); });
    // Its notes go only to the debug log, whose sinks are chosen at start-up: with both off the
    // watchdog would wake an idle program twenty times a second for nothing.
    if (!DebugLogOn()) return;
    watchdog_->start();
    sinceTick_.start();
}

void StallMeter::Tick() {
    ++g_ticks;
    const std::chrono::milliseconds gap(sinceTick_.restart());
    const std::chrono::milliseconds blocked = gap - std::chrono::milliseconds(kWatchdogMs);
    // A block a scope has reported already is not reported twice.
    if (blocked > kLimit && blocked > g_longestScopeTime + std::chrono::milliseconds(kWatchdogMs))
        Report(blocked, g_longestScope);
    g_longestScope = nullptr;
    g_longestScopeTime = std::chrono::milliseconds(0);
}

StallMeter::Scope::Scope(const char* what)
    : what_(what), outer_(g_running), ticks_(g_ticks), start_(std::chrono::steady_clock::now()) {
    g_running = what;
}

StallMeter::Scope::~Scope() {
    g_running = outer_;
    if (g_ticks != ticks_) return;
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    if (took > g_longestScopeTime) {
        g_longestScopeTime = took;
        g_longestScope = what_;
    }
    // Only the outermost scope reports: the inner ones are part of its time.
    if (took > kLimit && outer_ == nullptr) Report(took, what_);
}

}  // namespace vantor
