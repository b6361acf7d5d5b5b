// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>
#include <QPointer>
#include <QTextCursor>

class QLabel;
class QLineEdit;
class QTextEdit;

namespace vantor {

// A small find bar over the top right corner of a history box. Ctrl+F in its window opens it;
// Enter or F3 goes to the next match, Shift+Enter or Shift+F3 to the previous one, both wrapping
// at the ends; Escape closes it. Matches are marked with the box's extra selections, so the
// history's text and colours never change.
class FindBar : public QFrame {
    Q_OBJECT

public:
    static constexpr int kMarkedAtMost = 1000;  // matches highlighted at once

    // A child of window, searching target (a child of window too).
    FindBar(QTextEdit* target, QWidget* window);

    void Open();  // shows the bar with its text selected and the focus in it
    void Next();
    void Previous();
    void CloseBar();  // the focus goes back where it was

    QTextCursor Current() const { return current_; }  // null when on no match
    int MatchCount() const { return matchCount_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Find(bool backward, bool fromStart);
    void Mark();
    void Place();

    QTextEdit* target_;
    QLineEdit* field_;
    QLabel* count_;
    QTextCursor current_;
    int matchCount_ = 0;
    QPointer<QWidget> focusBefore_;
};

}  // namespace vantor
