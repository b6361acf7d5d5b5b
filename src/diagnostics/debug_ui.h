// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "diagnostics/debug_log.h"

namespace vantor {

class FindBar;
class HistoryView;

// Installs the factory that makes the debug window when the settings ask for one.
void InstallDebugWindowFactory();

// The debug window: one read-only rich-text box, DebugWin, with the log entries coloured by
// kind. Closing it only hides it and empties it; the log keeps writing to it.
class DebugUI : public QWidget, public DebugWindow {
    Q_OBJECT

public:
    // Most characters the box keeps; older lines are dropped first.
    static constexpr qsizetype kMaxChars = 100000;

    explicit DebugUI(QWidget* parent = nullptr);
    ~DebugUI() override;

    void AddDebug(const Tag& tag, std::string_view message, int kind) override;
    void ShowWindow() override;
    void ShutDown() override;

    bool ShuttingDown() const { return shuttingDown_; }
    HistoryView* DebugWin() const { return debugWin_; }

    // The box's text length with every line break counted as CR LF, as the cap counts it.
    qsizetype TextLength() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceOnScreen();

    HistoryView* debugWin_;
    FindBar* findBar_;
    bool shuttingDown_ = false;
};

}  // namespace vantor
