// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <deque>

#include "chat/chat_history.h"

class QTextBrowser;
class QTextCursor;

namespace vantor {

// The content of a capped, coloured history box. Entries are taken at once and the cap is
// applied to them entry by entry, but the view catches up at most every kCatchUpMs: laying out a
// line costs far more than taking it, and in a flood most lines are cut by the cap before anyone
// could see them. Between catch-ups the box is frozen, so it is not repainted either.
class HistoryBox {
public:
    static constexpr int kCatchUpMs = 40;

    explicit HistoryBox(QTextBrowser* box, std::size_t cap = 10000);

    // The own nickname in someone else's words is shown bold; an invalid pattern marks nothing.
    void SetOwnNick(QRegularExpression pattern) { ownNick_ = std::move(pattern); }

    // One entry: head (stamp, sender) as it is, body with web addresses as links and, when
    // markOwnNick, the own nickname bold; all of it in the colour given.
    void Add(const QColor& colour, const QString& head, const QString& body, bool markOwnNick);

    // Freeze and Thaw bracket each Add with its pending-event processing; they nest. The view
    // catches up on the outermost Thaw once kCatchUpMs have passed since the last time, and
    // otherwise by timer.
    void Freeze();
    void Thaw();

    // Brings the view up to date now.
    void CatchUp();
    bool Behind() const { return clearView_ || viewDropped_ > 0 || !pending_.empty(); }

private:
    struct Entry {
        QColor colour;
        QString head;
        QString body;
        bool markOwnNick = false;
    };
    void Insert(QTextCursor& at, const Entry& entry, bool newBlock) const;
    void CatchUpWhenDue();

    QTextBrowser* box_;
    HistoryLines lines_;
    QRegularExpression ownNick_;
    std::deque<Entry> pending_;  // taken, not in the view yet
    std::size_t viewLines_ =
        1;  // lines of the view still in the history (the first, empty one too)
    std::size_t viewDropped_ = 0;  // leading lines of the view the cap has cut
    bool clearView_ = false;       // the cap cut everything the view shows
    int depth_ = 0;
    QTimer timer_;
    QElapsedTimer sinceCatchUp_;
};

}  // namespace vantor
