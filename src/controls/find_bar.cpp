// SPDX-License-Identifier: MIT
#include "controls/find_bar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextDocument>
#include <QTextEdit>

#include "controls/history_view.h"
#include "controls/theme.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

FindBar::FindBar(QTextEdit* target, QWidget* window)
    : QFrame(window), target_(target), field_(new QLineEdit(this)), count_(new QLabel(this)) {
    setObjectName(u"FindBar"_s);
    setAccessibleName(u"Find"_s);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setStyleSheet(
        u"vantor--FindBar { background-color: %1; border: 1px solid %2; }"
        " QLabel { color: %3; }"
        " QLineEdit { background-color: %4; color: %3; border: 1px solid %2;"
        " padding: 0 3px; }"_s.arg(theme::kDeepRed.name(), theme::kEmber.name(),
                                   theme::kOrange.name(), theme::kDarkRed.name()));
    field_->setObjectName(u"FindText"_s);
    field_->setAccessibleName(u"Find"_s);
    field_->setPlaceholderText(u"Find"_s);
    field_->setMinimumWidth(160);
    count_->setObjectName(u"FindCount"_s);
    // Room for the longest count, so the bar keeps its size as the count changes.
    count_->setMinimumWidth(count_->fontMetrics().horizontalAdvance(u"No matches"_s) + 4);
    count_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(6);
    row->addWidget(field_, 1);
    row->addWidget(count_);
    hide();

    field_->installEventFilter(this);
    target_->installEventFilter(this);  // follows the box when it moves or grows
    connect(field_, &QLineEdit::textEdited, this, [this] { Find(false, true); });

    const auto shortcut = [&](QKeySequence keys, auto slot) {
        auto* s = new QShortcut(keys, window, slot);
        s->setContext(Qt::WindowShortcut);
    };
    shortcut(QKeySequence::Find, [this] { Open(); });
    shortcut(QKeySequence(Qt::Key_F3), [this] { isVisible() ? Next() : Open(); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { isVisible() ? Previous() : Open(); });
}

void FindBar::Open() {
    if (!isVisible()) {
        QWidget* focus = QApplication::focusWidget();
        focusBefore_ = focus != field_ ? focus : nullptr;
        Place();
        show();
    }
    raise();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
    if (!field_->text().isEmpty()) Mark();
}

void FindBar::Next() {
    Find(false, false);
}

void FindBar::Previous() {
    Find(true, false);
}

void FindBar::CloseBar() {
    hide();
    current_ = QTextCursor();
    matchCount_ = 0;
    target_->setExtraSelections({});
    if (focusBefore_) focusBefore_->setFocus(Qt::OtherFocusReason);
}

// From the match the bar is on (from its start while the text is being typed, so the match
// grows in place), wrapping round at either end.
void FindBar::Find(bool backward, bool fromStart) {
    if (auto* history = qobject_cast<HistoryView*>(target_)) history->CatchUp();
    const QString text = field_->text();
    QTextDocument* doc = target_->document();
    if (text.isEmpty()) {
        current_ = QTextCursor();
        Mark();
        return;
    }
    QTextCursor from = current_.isNull() ? QTextCursor(doc) : current_;
    if (current_.isNull() && backward) from.movePosition(QTextCursor::End);
    if (fromStart && !current_.isNull()) from.setPosition(current_.selectionStart());
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor found = doc->find(text, from, flags);
    if (found.isNull()) {
        QTextCursor wrap(doc);
        if (backward) wrap.movePosition(QTextCursor::End);
        found = doc->find(text, wrap, flags);
    }
    current_ = found;
    Mark();
    if (current_.isNull()) return;
    // Shown without a selection of the box's own: the reader's place moves, nothing else.
    QTextCursor at(doc);
    at.setPosition(current_.selectionEnd());
    target_->setTextCursor(at);
    target_->ensureCursorVisible();
}

void FindBar::Mark() {
    QList<QTextEdit::ExtraSelection> marks;
    matchCount_ = 0;
    int currentIndex = 0;
    const QString text = field_->text();
    if (!text.isEmpty()) {
        QTextDocument* doc = target_->document();
        QTextCharFormat match;
        match.setBackground(theme::kFindMatch);
        for (QTextCursor at = doc->find(text, 0); !at.isNull(); at = doc->find(text, at)) {
            ++matchCount_;
            if (!current_.isNull() && at.selectionStart() == current_.selectionStart())
                currentIndex = matchCount_;
            if (marks.size() < kMarkedAtMost) marks.push_back({at, match});
        }
    }
    if (!current_.isNull()) {
        QTextCharFormat here;
        here.setBackground(theme::kFindCurrent);
        here.setForeground(theme::kBlack);
        marks.push_back({current_, here});
    }
    target_->setExtraSelections(marks);
    if (text.isEmpty()) {
        count_->clear();
    } else if (matchCount_ == 0) {
        count_->setText(u"No matches"_s);
    } else if (currentIndex > 0) {
        count_->setText(u"%1 of %2"_s.arg(currentIndex).arg(matchCount_));
    } else {
        count_->setText(u"%1 found"_s.arg(matchCount_));
    }
}

void FindBar::Place() {
    adjustSize();
    const QRect box(target_->mapTo(parentWidget(), QPoint(0, 0)), target_->size());
    const int w = qMin(width(), qMax(1, box.width() - 24));
    resize(w, sizeHint().height());
    move(box.right() - w - 20, box.top() + 4);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) && isVisible())
            Place();
        return false;
    }
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                (key->modifiers() & Qt::ShiftModifier) ? Previous() : Next();
                return true;
            case Qt::Key_Escape:
                CloseBar();
                return true;
            default:
                break;
        }
    }
    return false;
}

}  // namespace vantor
