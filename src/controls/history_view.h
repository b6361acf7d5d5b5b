// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QString>
#include <QTextBrowser>
#include <QTimer>
#include <cstddef>
#include <deque>
#include <optional>

#include "common/history_lines.h"

class QTextCursor;

namespace vantor {

// Wrap bulk appends to the coloured history boxes: switch the control off (or on) and let
// pending window events run.
void DisableControl(QWidget* control);
void EnableControl(QWidget* control);

// How often a window's flood lets pending events run when none were posted: often enough to
// stay responsive, rarely enough that a flood does not pay microseconds per entry for it.
inline constexpr int kFloodEventsEveryUs = 2000;

// How a history view keeps its text; each window has its own.
struct HistoryRules {
    std::size_t cap = 10000;  // characters, a line break counted as CR LF
    HistoryLines::NoBreak noBreak = HistoryLines::NoBreak::kClearAll;
    // New text is shown at most this often, and only once the appends under way are over; a
    // flood would otherwise lay out and repaint once per entry. 0: at the end of every append.
    int showEveryMs = 0;
    // New lines stay out of the document until they are shown, so the lines the cap cuts before
    // then are never laid out. Otherwise the document holds every entry once its append ends.
    bool holdText = false;
    // An entry is taken only once the events of its own append have run, so an entry appended
    // from those events lands first. Otherwise it is taken at once and the later one follows.
    bool takeAfterEvents = false;
    // In a flood, pending events run at least this often (microseconds) and whenever some were
    // posted; 0: on every append.
    int eventsEveryUs = 0;
    bool links = false;  // web addresses in entry bodies become links
};

// The windows' rules; a window takes one of these rather than setting knobs of its own.
// A page conversation: every entry shown as it comes; a flood lets events run every 2 ms.
inline constexpr HistoryRules kPageHistory{.cap = 10000, .eventsEveryUs = kFloodEventsEveryUs};
// A lobby: shown at most every 40 ms, and lines a flood pushes past the cap before then are never
// laid out; a flood lets events run every 2 ms and whenever something was posted; addresses link.
inline constexpr HistoryRules kLobbyHistory{.cap = 10000,
                                            .showEveryMs = 40,
                                            .holdText = true,
                                            .eventsEveryUs = kFloodEventsEveryUs,
                                            .links = true};
// The debug log: ten times the text, cut by characters when a line has no break; shown at most
// every 40 ms (a flood would repaint the whole box once per entry); an entry is taken only once
// its append has let events run, so one logged from those events comes first.
inline constexpr HistoryRules kDebugHistory{.cap = 100000,
                                            .noBreak = HistoryLines::NoBreak::kFirstCharacter,
                                            .showEveryMs = 40,
                                            .takeAfterEvents = true,
                                            .eventsEveryUs = kFloodEventsEveryUs};

// One entry: CR LF, then head as it is and body with its marks, both in the entry's colour.
// Line breaks inside head or body start lines of their own.
struct HistoryEntry {
    QString head{};
    QString body{};
    std::optional<QColor> colour{};  // none: the colour of whatever was inserted last
    bool markOwnNick = false;        // the own nickname in the body shown bold
    QString lead{};                  // ends the previous line, ahead of the entry's CR LF
    QColor leadColour{};
};

// A read-only coloured history: capped at rules.cap by dropping its oldest lines, repainted at
// most every rules.showEveryMs, keeping a reader who scrolled up on the lines being read.
// Direct edits of its document (clear(), setPlainText()) are taken as the history from then on.
// It shows the focus frame while focused, and at most eight combining marks on a character,
// with room for them in the line's own box; the cap counts the text as shown.
class HistoryView : public QTextBrowser {
    Q_OBJECT

public:
    explicit HistoryView(HistoryRules rules, QWidget* parent = nullptr);
    ~HistoryView() override;

    // An invalid or empty pattern marks nothing.
    void SetOwnNick(QRegularExpression pattern) { ownNick_ = std::move(pattern); }

    // Appends one entry with the view switched off and pending events let through (as
    // DisableControl and EnableControl do, its lines frozen meanwhile), then lets events run once
    // more. False when the view went away meanwhile: touch nothing of its window then.
    bool Append(HistoryEntry entry);

    // Shows everything appended so far, now.
    void CatchUp();

    // The text's length as the cap counts it, taken entries included.
    std::size_t Length() const { return lines_.Length(); }

    // What the view has done so far, for benchmarks.
    struct Work {
        std::size_t eventSteps = 0;    // appends that let pending events run
        std::size_t shows = 0;         // catch-ups that changed the document
        std::size_t linesLaidOut = 0;  // lines put into the document
    };
    const Work& Done() const { return work_; }

protected:
    void changeEvent(QEvent* event) override;
    void initStyleOption(QStyleOptionFrame* option) const override;

private:
    // One line of an entry, or text for the end of the line before it.
    struct Piece {
        QString text;
        std::optional<QColor> colour;
        qsizetype markFrom = -1;  // where the body starts in text; -1: no marks
        bool markOwnNick = false;
        bool newLine = false;
        bool stacked = false;  // combining marks on marks: may reach past the line's height
    };

    bool EventsDue();
    void Take(HistoryEntry entry);
    void Put(const QString& text, const std::optional<QColor>& colour, qsizetype markFrom,
             bool markOwnNick, bool newLine, bool stacked);
    void DropLines(std::size_t lines);
    void CutFirstCharacter();
    void SetPartsUpdating(bool on);
    void Freeze();
    void Thaw();
    void Switch(bool on);
    void ShowWhenDue();
    void ApplyPending();
    void Insert(QTextCursor& at, const Piece& piece, bool newBlock) const;
    void FitMarks(QTextCursor& at) const;
    void InsertMarked(QTextCursor& at, const QString& text, qsizetype bodyFrom,
                      const QTextCharFormat& plain, bool markOwnNick) const;
    void Resync();

    HistoryRules rules_;
    HistoryLines lines_;
    QRegularExpression ownNick_;
    std::deque<Piece> pending_;  // taken, not in the document yet
    // Lines of the document still in the history (the first, empty one too).
    std::size_t viewLines_ = 1;
    std::size_t viewDropped_ = 0;  // leading lines of the document the cap has cut
    bool clearView_ = false;       // the cap cut everything the document holds
    bool editing_ = false;         // the document changes by our own hand
    int depth_ = 0;                // appends under way
    bool frozen_ = false;          // its parts do not repaint until the next show
    bool switching_ = false;       // an append switches the box off or on
    bool switchedOff_ = false;     // an append has switched it off to let events run
    QTimer timer_;
    QElapsedTimer sinceShown_;
    QElapsedTimer sinceEvents_;
    QObject* posted_;  // counts the events EventsDue delivers; a child
    Work work_;
};

}  // namespace vantor
