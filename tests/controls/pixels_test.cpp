// SPDX-License-Identifier: MIT
// What the boxes draw, pixel by pixel; ctest runs these at 100 % and again at 200 %.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>
#include <functional>
#include <memory>

#include "controls/focus_frame.h"
#include "controls/history_view.h"
#include "controls/theme.h"
#include "support/focus_frame_check.h"

namespace vantor {
namespace {

void Activate(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

using test::FocusFrameAt;
using test::Shot;
using Edges = test::FrameEdges;

// Each kind of box shows the frame while it has the focus, and only then: the width is the
// same in logical pixels at every scale, it lies over the scroll bar too, and it goes when the
// window loses the focus to another.
TEST(FocusFrame, showsOnTheFocusedBoxOnlyAtTheSameLogicalWidthAtEveryScale) {
    struct Kind {
        const char* name;
        std::function<QAbstractScrollArea*()> make;
    };
    const Kind kinds[] = {
        {"history",
         [] {
             auto* view = new HistoryView({});
             view->setStyleSheet(
                 QStringLiteral("QTextEdit { background-color: %1; border: 1px solid %2; }")
                     .arg(theme::kDarkRed.name(), theme::kDimOrange.name()));
             for (int i = 0; i < 40; ++i) view->Append({.body = QStringLiteral("line %1").arg(i)});
             return view;
         }},
        {"tree",
         [] {
             auto* tree = new QTreeWidget;
             for (int i = 0; i < 40; ++i)
                 new QTreeWidgetItem(tree, {QStringLiteral("row %1").arg(i)});
             ShowFocusFrame(tree);
             ShowFocusFrame(tree);  // once is enough
             return tree;
         }},
        {"list",
         [] {
             auto* list = new QListWidget;
             list->addItems({QStringLiteral("one"), QStringLiteral("two")});
             ShowFocusFrame(list);
             return list;
         }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        QWidget window;
        auto* row = new QHBoxLayout(&window);
        QAbstractScrollArea* first = kind.make();
        QAbstractScrollArea* second = kind.make();
        row->addWidget(first);
        row->addWidget(second);
        window.resize(420, 200);
        Activate(&window);
        const qreal ratio = window.devicePixelRatioF();
        EXPECT_EQ(ratio, qApp->devicePixelRatio());
        const int wide = qRound(kFocusFrameWidth * ratio);

        first->setFocus(Qt::TabFocusReason);
        QImage shot = Shot(&window);
        EXPECT_EQ(FocusFrameAt(shot, first->geometry(), ratio), (Edges{wide, wide, wide, wide}));
        EXPECT_EQ(FocusFrameAt(shot, second->geometry(), ratio), (Edges{0, 0, 0, 0}));
        // Over the scroll bar too, which the box raises whenever it lays it out.
        first->verticalScrollBar()->setValue(3);
        shot = Shot(&window);
        if (QScrollBar* bar = first->verticalScrollBar(); bar->isVisible()) {
            const int x = qRound(bar->mapTo(&window, bar->rect().center()).x() * ratio);
            const int top = qRound(first->y() * ratio);
            const int bottom = qRound((first->y() + first->height()) * ratio) - 1;
            for (int y : {top, top + wide - 1, bottom - wide + 1, bottom})
                EXPECT_EQ(shot.pixel(x, y), theme::kOrange.rgb()) << y;
            EXPECT_NE(shot.pixel(x, top + wide), theme::kOrange.rgb());
        }
        EXPECT_EQ(FocusFrameAt(shot, first->geometry(), ratio), (Edges{wide, wide, wide, wide}));

        second->setFocus(Qt::MouseFocusReason);  // however the focus came
        shot = Shot(&window);
        EXPECT_EQ(FocusFrameAt(shot, first->geometry(), ratio), (Edges{0, 0, 0, 0}));
        EXPECT_EQ(FocusFrameAt(shot, second->geometry(), ratio), (Edges{wide, wide, wide, wide}));

        QWidget other;
        Activate(&other);
        EXPECT_EQ(FocusFrameAt(Shot(&window), second->geometry(), ratio), (Edges{0, 0, 0, 0}));
    }
}

// A character with thousands of combining marks (above and below), lines of them one after the
// other, and one that wraps: each line's drawing stays inside its own box. Lines alternate green
// and blue on black, so a pixel of one colour in the other's box is ink that strayed.
TEST(HistoryView, stackedMarksDrawInsideTheirOwnLine) {
    const QString above = QString(5000, QChar(0x0301));
    const QString below = QString(5000, QChar(0x0316));
    QString wrapped;
    for (int i = 0; i < 60; ++i) wrapped += QStringLiteral("e") + QString(8, QChar(0x0302));
    const QString lines[] = {
        QStringLiteral("plain line above"),
        QStringLiteral("a") + above,
        QStringLiteral("plain line"),
        QStringLiteral("b") + below + QStringLiteral(" c") + above,
        QStringLiteral("o") + above,
        wrapped,
        QStringLiteral("plain line below"),
    };
    HistoryView view({});
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, Qt::black);
    view.setPalette(palette);
    view.setFrameShape(QFrame::NoFrame);
    view.setFocusPolicy(Qt::NoFocus);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(300, 900);
    const QColor colours[] = {QColor(0, 255, 0), QColor(0, 0, 255)};
    for (int i = 0; i < 7; ++i) view.Append({.body = lines[i], .colour = colours[i % 2]});
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    // Shown with at most eight marks a character, counted as shown.
    const QString shown = view.document()->toPlainText();
    EXPECT_EQ(shown.count(QChar(0x0301)), 3 * 8);
    EXPECT_EQ(shown.count(QChar(0x0316)), 8);
    EXPECT_EQ(view.Length(), std::size_t(shown.size() + 7));  // each CR LF counted twice

    const QImage shot = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = shot.devicePixelRatio();
    QTextDocument* doc = view.document();
    ASSERT_LT(doc->size().height(), view.viewport()->height()) << "all of it on screen";
    // The layout divides the page among the lines: each owns the room above it (its top
    // margin) down to where the next line's room begins. Device pixels; block 0 is the empty
    // first line.
    std::vector<QRect> boxes;
    std::vector<qreal> tops;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        tops.push_back(doc->documentLayout()->blockBoundingRect(b).top() -
                       b.blockFormat().topMargin());
    tops.push_back(doc->size().height());
    for (std::size_t i = 0; i + 1 < tops.size(); ++i)
        boxes.emplace_back(0, qRound(tops[i] * ratio), shot.width(),
                           qRound(tops[i + 1] * ratio) - qRound(tops[i] * ratio));
    ASSERT_EQ(boxes.size(), 8u);
    // The marks needed room of their own: the tall lines' boxes are taller than a plain one.
    EXPECT_GT(boxes[2].height(), 2 * boxes[3].height() - 1);

    int strayed = 0;
    int inked[8] = {};
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            if (qRed(p) > 40) continue;  // no line is drawn in red
            const int kind = qGreen(p) > 40 ? 0 : qBlue(p) > 40 ? 1 : -1;
            if (kind < 0) continue;
            bool home = false;
            for (int line = 0; line < 7; ++line) {
                if (boxes[line + 1].contains(x, y)) {
                    home = line % 2 == kind;
                    if (home) ++inked[line + 1];
                }
            }
            if (!home) ++strayed;
        }
    }
    EXPECT_EQ(strayed, 0);
    for (int block = 1; block < 8; ++block) EXPECT_GT(inked[block], 0) << block;
}

}  // namespace
}  // namespace vantor
