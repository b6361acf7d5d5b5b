// SPDX-License-Identifier: MIT
#include "controls/history_view.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

#include "controls/focus_frame.h"
#include "controls/history_text.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

namespace {

// The characters with which inserted text starts a new block: the document's own line breaks.
bool IsBreak(QChar c) {
    const char16_t u = c.unicode();
    if (u > u'\r' && u < QChar::ParagraphSeparator) return false;  // most text, in one test
    return u == u'\n' || u == u'\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1;
}

// Counts what the application delivers while it is installed as an event filter, and switches
// the control off before the first of them is handled, as an append with events due does.
class EventCounter final : public QObject {
public:
    using QObject::QObject;
    std::size_t seen = 0;         // only grows: a nested count must not hide the outer one's events
    std::function<void()> first;  // run before the first event is handled

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* /*event*/) override {
        ++seen;
        if (first) std::exchange(first, nullptr)();
        return false;
    }
};

}  // namespace

void DisableControl(QWidget* control) {
    if (control != nullptr) control->setEnabled(false);
    QCoreApplication::processEvents();
}

void EnableControl(QWidget* control) {
    if (control != nullptr) control->setEnabled(true);
    QCoreApplication::processEvents();
}

HistoryView::HistoryView(HistoryRules rules, QWidget* parent)
    : QTextBrowser(parent),
      rules_(rules),
      lines_(rules.cap, rules.noBreak),
      posted_(new EventCounter(this)) {
    setReadOnly(true);
    setOpenLinks(false);  // a history never navigates away from itself
    // The box only ever grows at the end and drops its head; an undo history would keep both.
    setUndoRedoEnabled(false);
    timer_.setSingleShot(true);
    // Fired from an append's event step, the show waits for the appends under way to end.
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (depth_ > 0) {
            timer_.start(0);
        } else {
            CatchUp();
        }
    });
    connect(document(), &QTextDocument::contentsChange, this, [this] {
        if (!editing_) Resync();
    });
    ShowFocusFrame(this);
}

HistoryView::~HistoryView() {
    disconnect(document(), nullptr, this, nullptr);
}

bool HistoryView::Append(HistoryEntry entry) {
    const QPointer<HistoryView> self(this);
    Freeze();
    if (!rules_.takeAfterEvents) Take(std::move(entry));
    const bool events = EventsDue();
    if (!self) return false;
    if (events) {
        ++work_.eventSteps;
        Switch(false);
        QCoreApplication::processEvents();
        if (!self) return false;
    }
    if (rules_.takeAfterEvents) Take(std::move(entry));
    if (events) {
        Switch(true);
        QCoreApplication::processEvents();
        if (!self) return false;
        QCoreApplication::processEvents();
        if (!self) return false;
        sinceEvents_.start();
    }
    Thaw();
    return true;
}

// Letting events run costs microseconds even when none wait. In a flood they run every so often,
// and at once when something was posted meanwhile (a click's queued call, a timer due now):
// those are delivered here, and the caller then lets the rest run as on every append.
bool HistoryView::EventsDue() {
    if (rules_.eventsEveryUs <= 0 || !sinceEvents_.isValid() ||
        sinceEvents_.nsecsElapsed() >= qint64(rules_.eventsEveryUs) * 1000) {
        return true;
    }
    const QPointer<HistoryView> self(this);
    auto* counter = static_cast<EventCounter*>(posted_);
    const std::size_t before = counter->seen;
    counter->first = [this] { Switch(false); };
    QCoreApplication::instance()->installEventFilter(counter);
    QCoreApplication::sendPostedEvents();
    if (!self) return true;
    QCoreApplication::instance()->removeEventFilter(counter);
    counter->first = nullptr;
    return counter->seen != before;
}

// Makes room under the cap, then queues the entry's lines.
void HistoryView::Take(HistoryEntry entry) {
    const bool stacked =
        std::max({CapMarks(entry.head), CapMarks(entry.body), CapMarks(entry.lead)}) > 1;
    const auto length = std::size_t(entry.head.size() + entry.body.size());
    const HistoryLines::Cut cut = lines_.CutFor(length);
    if (cut.firstCharacter) {
        CutFirstCharacter();
    } else if (cut.lines > 0) {
        DropLines(cut.lines);
        lines_.Drop(cut);
    }
    Put(entry.lead, entry.leadColour, -1, false, false, stacked);
    const bool marks = rules_.links || entry.markOwnNick;
    Put(entry.head + entry.body, entry.colour, marks ? entry.head.size() : -1, entry.markOwnNick,
        true, stacked);
    if (!rules_.holdText) ApplyPending();
}

void HistoryView::Put(const QString& text, const std::optional<QColor>& colour, qsizetype markFrom,
                      bool markOwnNick, bool newLine, bool stacked) {
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        while (i < size && !IsBreak(chars[i])) ++i;
        if (newLine || i > start) {
            Piece piece{text.mid(start, i - start), colour, -1, markOwnNick, newLine, stacked};
            if (markFrom >= 0) piece.markFrom = std::max<qsizetype>(0, markFrom - start);
            if (newLine) {
                lines_.Append(std::size_t(piece.text.size()));
            } else {
                lines_.Extend(std::size_t(piece.text.size()));
            }
            pending_.push_back(std::move(piece));
        }
        if (i + 1 < size && chars[i] == u'\r' && chars[i + 1] == u'\n') ++i;
        start = i + 1;
        newLine = true;
    }
}

void HistoryView::DropLines(std::size_t lines) {
    if (lines >= lines_.Lines()) {
        // Everything goes; the cleared box keeps its one empty line.
        clearView_ = true;
        viewLines_ = 1;
        viewDropped_ = 0;
        pending_.clear();
        return;
    }
    const std::size_t fromView = std::min(lines, viewLines_);
    viewLines_ -= fromView;
    viewDropped_ += fromView;
    if (viewLines_ > 0) return;
    // Every line of the document went, the last one with the text waiting to end it; the rest
    // of the cut takes whole pending lines.
    std::size_t rest = lines - fromView;
    while (!pending_.empty() && (!pending_.front().newLine || rest > 0)) {
        if (pending_.front().newLine) --rest;
        pending_.pop_front();
    }
}

void HistoryView::CutFirstCharacter() {
    // Rare (one huge first line), so the document is brought up to date and cut directly.
    ApplyPending();
    const std::size_t before = lines_.Lines();
    lines_.Drop({0, true});
    viewLines_ -= before - lines_.Lines();
    if (document()->characterCount() <= 1) return;
    editing_ = true;
    QTextCursor cut(document());
    cut.setPosition(1, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    editing_ = false;
}

// The parts that show the lines (the text, the scroll bars, the focus frame) are frozen, not the
// box: thawing the box itself would repaint its frame, and the window's background under it, at
// every show, though the frame never changes.
void HistoryView::SetPartsUpdating(bool on) {
    for (QObject* child : children()) {
        auto* part = qobject_cast<QWidget*>(child);
        if (part && !part->isWindow()) part->setUpdatesEnabled(on);
    }
}

void HistoryView::Freeze() {
    if (depth_++ > 0 || frozen_) return;
    frozen_ = true;
    SetPartsUpdating(false);
}

// As DisableControl and EnableControl do, without their letting events run. The frame does not
// repaint for the switch, and draws as switched on meanwhile: the lines are frozen, and the box
// looks to the user as it did before and after.
void HistoryView::Switch(bool on) {
    // Switched off, a box the user reads from the keyboard would hand its focus, and the keys
    // typed meanwhile, to the next control: a CLOSE button, say.
    if (!on && hasFocus()) return;
    switchedOff_ = !on;
    switching_ = true;
    setEnabled(on);
    switching_ = false;
}

void HistoryView::changeEvent(QEvent* event) {
    if (switching_ && event->type() == QEvent::EnabledChange) return;
    QTextBrowser::changeEvent(event);
}

void HistoryView::initStyleOption(QStyleOptionFrame* option) const {
    QTextBrowser::initStyleOption(option);
    if (!switchedOff_ || !option) return;
    option->state |= QStyle::State_Enabled;
    option->palette.setCurrentColorGroup(isActiveWindow() ? QPalette::Active : QPalette::Inactive);
}

void HistoryView::Thaw() {
    if (depth_ > 0) --depth_;
    if (depth_ == 0) ShowWhenDue();
}

// A pass of appends is shown once it is over, at the next turn of the event loop: showing its
// first entry at once would lay out and paint lines the rest of the pass trims again.
void HistoryView::ShowWhenDue() {
    if (rules_.showEveryMs <= 0) {
        CatchUp();
        return;
    }
    if (timer_.isActive()) return;
    const qint64 since = sinceShown_.isValid() ? sinceShown_.elapsed() : rules_.showEveryMs;
    timer_.start(int(std::max<qint64>(0, rules_.showEveryMs - since)));
}

void HistoryView::CatchUp() {
    sinceShown_.start();
    timer_.stop();
    ApplyPending();
    if (depth_ > 0 || !frozen_) return;
    frozen_ = false;
    SetPartsUpdating(true);
}

void HistoryView::ApplyPending() {
    if (!clearView_ && viewDropped_ == 0 && pending_.empty()) return;
    ++work_.shows;
    editing_ = true;
    QTextDocument* doc = document();
    QScrollBar* bar = verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    int scrollValue = bar->value();

    QTextCursor cut(doc);
    if (clearView_) {
        cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cut.removeSelectedText();
        scrollValue = 0;
        clearView_ = false;
    }
    if (viewDropped_ > 0) {
        cut.movePosition(QTextCursor::Start);
        if (viewDropped_ >= std::size_t(doc->blockCount())) {
            cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            scrollValue = 0;
        } else {
            // Keeps a reader who scrolled up on the same lines while the top goes.
            const QTextBlock first = doc->findBlockByNumber(int(viewDropped_));
            scrollValue -= int(doc->documentLayout()->blockBoundingRect(first).top());
            cut.setPosition(first.position(), QTextCursor::KeepAnchor);
        }
        cut.removeSelectedText();
        viewDropped_ = 0;
    }
    if (!pending_.empty()) {
        // One edit at the end: the new lines are laid out once, together.
        QTextCursor at(doc);
        at.movePosition(QTextCursor::End);
        const int firstNew = at.blockNumber();
        at.beginEditBlock();
        // The last lines are the ones a reader at the bottom sees: their layout keeps its glyphs
        // for the paint. The others keep only what a paint shapes: most are never painted.
        const int lineHeight = std::max(1, fontMetrics().lineSpacing());
        const auto seen = std::size_t(viewport()->height() / lineHeight + 1);
        std::size_t newLines = 0;
        for (const Piece& piece : pending_) newLines += piece.newLine ? 1 : 0;
        // With every line cut, the first line goes into the one block a document always has.
        bool newBlock = viewLines_ > 0;
        for (const Piece& piece : pending_) {
            Insert(at, piece, piece.newLine && newBlock);
            if (piece.newLine) {
                ++viewLines_;
                ++work_.linesLaidOut;
                if (newLines-- <= seen) at.block().layout()->setCacheEnabled(true);
            }
            newBlock = true;
        }
        at.endEditBlock();
        pending_.clear();
        // Keep the shaped glyphs of new lines: every repaint would shape the visible ones again.
        for (QTextBlock b = doc->findBlockByNumber(firstNew); b.isValid(); b = b.next())
            b.layout()->setCacheEnabled(true);
    }
    bar->setValue(atBottom ? bar->maximum() : std::max(0, scrollValue));
    editing_ = false;
}

void HistoryView::Insert(QTextCursor& at, const Piece& piece, bool newBlock) const {
    QTextCharFormat plain;
    if (piece.colour) {
        plain.setForeground(*piece.colour);
    } else if (const QTextCharFormat last = at.charFormat();
               last.hasProperty(QTextFormat::ForegroundBrush)) {
        plain.setForeground(last.foreground());
    }
    if (newBlock) at.insertBlock(QTextBlockFormat(), plain);
    if (piece.markFrom < 0) {
        at.insertText(piece.text, plain);
    } else {
        InsertMarked(at, piece.text, piece.markFrom, plain, piece.markOwnNick);
    }
    if (piece.stacked) FitMarks(at);
}

// A line whose marks stack past its font's height gets room for them above it and after each of
// its lines, so its drawing stays in its own box instead of over its neighbours'. The room after
// a line also holds what the next line's marks reach up: block margins collapse, spacing does not.
void HistoryView::FitMarks(QTextCursor& at) const {
    const QMarginsF reach = MarkReach(at.block().text(), document()->defaultFont());
    const qreal spacing = reach.top() + reach.bottom();
    if (spacing <= 0) return;
    QTextBlockFormat format = at.blockFormat();
    format.setTopMargin(reach.top());
    format.setLineHeight(spacing, QTextBlockFormat::LineDistanceHeight);
    at.setBlockFormat(format);
}

// Web addresses in the body (text from bodyFrom on) become links when the rules say so; the own
// nickname, when asked for, is bold. The unmarked text goes in with as few inserts as the marks
// leave: one for a line without any.
void HistoryView::InsertMarked(QTextCursor& at, const QString& text, qsizetype bodyFrom,
                               const QTextCharFormat& plain, bool markOwnNick) const {
    static const QRegularExpression linkStart(QStringLiteral("\\b(?:https?://|www\\.)"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QString body = text.mid(bodyFrom);
    qsizetype inserted = 0;  // of text
    auto mark = [&](qsizetype bodyAt, const QString& run, const QTextCharFormat& format) {
        const qsizetype at0 = bodyFrom + bodyAt;
        if (at0 > inserted) at.insertText(text.mid(inserted, at0 - inserted), plain);
        at.insertText(run, format);
        inserted = at0 + run.size();
    };
    const bool nick = markOwnNick && ownNick_.isValid() && !ownNick_.pattern().isEmpty();
    QTextCharFormat strong = plain;
    strong.setFontWeight(QFont::Bold);
    qsizetype done = 0;  // of body: searched for the nickname
    auto putPlain = [&](qsizetype until) {
        if (until <= done) return;
        const qsizetype partFrom = done;
        done = until;
        if (!nick) return;
        // The part on its own, as a piece between addresses reads.
        const QString part = body.mid(partFrom, until - partFrom);
        for (auto it = ownNick_.globalMatch(part); it.hasNext();) {
            const auto m = it.next();
            if (m.capturedLength() > 0) mark(partFrom + m.capturedStart(), m.captured(), strong);
        }
    };
    for (qsizetype from = 0; rules_.links && MayHoldAddress(body);) {
        const auto m = linkStart.match(body, from);
        if (!m.hasMatch()) break;
        const qsizetype end = LinkEnd(body, m.capturedEnd());
        from = std::max(end, m.capturedEnd());
        if (end == m.capturedEnd()) continue;  // a scheme with no address after it
        const QString address = body.mid(m.capturedStart(), end - m.capturedStart());
        putPlain(m.capturedStart());
        QTextCharFormat link = plain;
        link.setAnchor(true);
        link.setAnchorHref(
            address.startsWith(u"www."_s, Qt::CaseInsensitive) ? u"http://"_s + address : address);
        link.setFontUnderline(true);
        mark(m.capturedStart(), address, link);
        done = end;
    }
    putPlain(body.size());
    if (inserted < text.size()) at.insertText(text.mid(inserted), plain);
}

void HistoryView::Resync() {
    // Someone else edited the document: it is the history now, with what is pending after it.
    lines_ = HistoryLines(rules_.cap, rules_.noBreak);
    const QTextDocument* doc = document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const auto length = std::size_t(b.length() - 1);
        if (b == doc->begin()) {
            lines_.Extend(length);
        } else {
            lines_.Append(length);
        }
    }
    viewLines_ = std::size_t(doc->blockCount());
    viewDropped_ = 0;
    clearView_ = false;
    for (const Piece& piece : pending_) {
        if (piece.newLine) {
            lines_.Append(std::size_t(piece.text.size()));
        } else {
            lines_.Extend(std::size_t(piece.text.size()));
        }
    }
}

}  // namespace vantor
