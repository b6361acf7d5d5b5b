// SPDX-License-Identifier: MIT
#include "chat/history_box.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "common/qt_text.h"

namespace vantor {

using namespace Qt::Literals::StringLiterals;

HistoryBox::HistoryBox(QTextBrowser* box, std::size_t cap) : box_(box), lines_(cap) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, box_, [this] {
        if (depth_ > 0) {
            timer_.start(kCatchUpMs);
        } else {
            CatchUp();
        }
    });
    sinceCatchUp_.start();
}

void HistoryBox::Add(const QColor& colour, const QString& rawHead, const QString& rawBody,
                     bool markOwnNick) {
    const QString head = OneLine(rawHead);
    const QString body = OneLine(rawBody);
    const auto length = std::size_t(head.size() + body.size());
    if (std::size_t drop = lines_.LinesToDrop(length); drop > 0) {
        if (drop >= lines_.Lines()) {
            // Everything goes; the cleared box keeps its one empty line.
            clearView_ = true;
            viewLines_ = 1;
            viewDropped_ = 0;
            pending_.clear();
        } else {
            const std::size_t fromView = std::min(drop, viewLines_);
            viewLines_ -= fromView;
            viewDropped_ += fromView;
            pending_.erase(pending_.begin(), pending_.begin() + long(drop - fromView));
        }
        lines_.DropFront(drop);
    }
    lines_.Append(length);
    pending_.push_back({colour, head, body, markOwnNick});
}

void HistoryBox::Freeze() {
    if (depth_++ == 0) box_->setUpdatesEnabled(false);
}

void HistoryBox::Thaw() {
    if (depth_ > 0) --depth_;
    if (depth_ == 0) CatchUpWhenDue();
}

void HistoryBox::CatchUpWhenDue() {
    if (sinceCatchUp_.elapsed() >= kCatchUpMs) {
        CatchUp();
    } else if (!timer_.isActive()) {
        timer_.start(kCatchUpMs);
    }
}

void HistoryBox::CatchUp() {
    sinceCatchUp_.restart();
    timer_.stop();
    if (Behind()) {
        QTextDocument* doc = box_->document();
        QScrollBar* bar = box_->verticalScrollBar();
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
            at.beginEditBlock();
            // With every line cut, the entry goes into the one block a document always has.
            bool newBlock = viewLines_ > 0;
            for (const Entry& entry : pending_) {
                Insert(at, entry, newBlock);
                newBlock = true;
            }
            at.endEditBlock();
            viewLines_ += pending_.size();
            pending_.clear();
        }
        bar->setValue(atBottom ? bar->maximum() : std::max(0, scrollValue));
    }
    if (depth_ == 0) box_->setUpdatesEnabled(true);
}

void HistoryBox::Insert(QTextCursor& at, const Entry& entry, bool newBlock) const {
    QTextCharFormat plain;
    plain.setForeground(entry.colour);
    if (newBlock) at.insertBlock(QTextBlockFormat(), plain);
    at.insertText(entry.head, plain);

    static const QRegularExpression linkPattern(
        QStringLiteral("\\b(?:https?://|www\\.)[^\\s<>\"]+"),
        QRegularExpression::CaseInsensitiveOption);
    const QString& body = entry.body;
    qsizetype done = 0;
    auto putPlain = [&](qsizetype until) {
        if (until <= done) return;
        const QString part = body.mid(done, until - done);
        done = until;
        if (!entry.markOwnNick || !ownNick_.isValid() || ownNick_.pattern().isEmpty()) {
            at.insertText(part, plain);
            return;
        }
        QTextCharFormat strong = plain;
        strong.setFontWeight(QFont::Bold);
        qsizetype from = 0;
        for (auto it = ownNick_.globalMatch(part); it.hasNext();) {
            const auto m = it.next();
            at.insertText(part.mid(from, m.capturedStart() - from), plain);
            at.insertText(m.captured(), strong);
            from = m.capturedEnd();
        }
        at.insertText(part.mid(from), plain);
    };
    for (auto it = linkPattern.globalMatch(body); it.hasNext();) {
        const auto m = it.next();
        QString address = m.captured();
        while (!address.isEmpty() && u".,;:!?)]}'"_s.contains(address.back())) address.chop(1);
        if (address.size() <= 4) continue;
        putPlain(m.capturedStart());
        QTextCharFormat link = plain;
        link.setAnchor(true);
        link.setAnchorHref(
            address.startsWith(u"www."_s, Qt::CaseInsensitive) ? u"http://"_s + address : address);
        link.setFontUnderline(true);
        at.insertText(address, link);
        done = m.capturedStart() + address.size();
    }
    putPlain(body.size());
}

}  // namespace vantor
