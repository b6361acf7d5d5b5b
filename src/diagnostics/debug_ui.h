// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "diagnostics/debug_log.h"

class QTextEdit;
class QTimer;

namespace vantor {

// Wrap bulk appends to the coloured history boxes: switch the control off (or on) and let
// pending window events run.
void DisableControl(QWidget* control);
void EnableControl(QWidget* control);

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
    QTextEdit* DebugWin() const { return debugWin_; }

    // The box's text length with every line break counted as CR LF, as the cap counts it.
    qsizetype TextLength() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PlaceOnScreen();
    void ShowNewText();

    // A flood of entries would repaint the whole box once per entry; new text is shown at most
    // once per this many milliseconds instead.
    static constexpr int kShowEveryMs = 40;

    QTextEdit* debugWin_;
    QTimer* showTimer_;
    QElapsedTimer lastShown_;
    bool shuttingDown_ = false;
};

}  // namespace vantor
