// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <chrono>

class QTimer;

namespace vantor {

// A development aid: writes a debug-log note whenever the event loop was blocked longer than
// kLimit, naming what was running. Named work marks itself with a Scope (two clock reads); a
// light watchdog timer, running only when the debug log has a sink, catches blocks outside any
// scope. A scope inside which the watchdog ticked ran a nested event loop (a message box, say)
// and blocked nothing.
class StallMeter : public QObject {
public:
    static constexpr std::chrono::milliseconds kLimit{100};

    explicit StallMeter(QObject* parent = nullptr);

    // Marks a stretch of work on the UI thread; `what` must outlive the scope (a literal).
    class Scope {
    public:
        explicit Scope(const char* what);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        const char* what_;
        const char* outer_;
        unsigned ticks_;
        std::chrono::steady_clock::time_point start_;
    };

private:
    void Tick();

    QTimer* watchdog_;
    QElapsedTimer sinceTick_;
};

}  // namespace vantor
