// SPDX-License-Identifier: MIT
#include "controls/find_bar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>
#include <QVBoxLayout>
#include <vector>

#include "controls/history_view.h"

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

class FindBarTest : public ::testing::Test {
protected:
    FindBarTest() {
        // Shown once, then held for long: the bar must find what the box has not shown yet.
        history = new HistoryView({.showEveryMs = 100000, .holdText = true}, &window);
        other = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(history);
        layout->addWidget(other);
        for (const char* line : {"bob: hi", "carl: bob?", "dave: no", "ann: Bob again"})
            history->Append({.body = QString::fromLatin1(line), .colour = QColor(255, 128, 0)});
        bar = new FindBar(history, &window);
        window.resize(400, 300);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }

    QLineEdit* Field() const { return bar->findChild<QLineEdit*>(u"FindText"_s); }
    QString Count() const { return bar->findChild<QLabel*>(u"FindCount"_s)->text(); }
    // Where each "bob" starts, read from the text itself.
    std::vector<int> Starts() const {
        std::vector<int> starts;
        const QString text = history->document()->toPlainText();
        for (qsizetype at = text.indexOf(u"bob"_s, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(u"bob"_s, at + 1, Qt::CaseInsensitive)) {
            starts.push_back(int(at));
        }
        return starts;
    }

    QWidget window;
    HistoryView* history;
    QLineEdit* other;
    FindBar* bar;
};

TEST_F(FindBarTest, movesThroughTheMatchesInOrderAndWrapsBothWays) {
    QTest::keyClick(other, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->accessibleName(), u"Find"_s);
    EXPECT_EQ(QApplication::focusWidget(), Field());
    QTest::keyClicks(Field(), u"bob"_s);  // found as typed: the first match

    const std::vector<int> starts = Starts();
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(bar->Current().selectionStart(), starts[0]);
    EXPECT_EQ(Count(), u"1 of 3"_s);

    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int match;
    } const steps[] = {
        {Qt::Key_Return, {}, 1},
        {Qt::Key_F3, {}, 2},
        {Qt::Key_Enter, {}, 0},              // wraps to the first
        {Qt::Key_F3, Qt::ShiftModifier, 2},  // and back to the last
        {Qt::Key_Return, Qt::ShiftModifier, 1},
        {Qt::Key_F3, Qt::ShiftModifier, 0},
    };
    for (const Step& step : steps) {
        QTest::keyClick(Field(), step.key, step.modifiers);
        EXPECT_EQ(bar->Current().selectionStart(), starts[std::size_t(step.match)])
            << "to match " << step.match;
        EXPECT_EQ(bar->Current().selectedText().toLower(), u"bob"_s);
    }
    EXPECT_EQ(Count(), u"1 of 3"_s);
    EXPECT_EQ(history->extraSelections().size(), 4);  // every match, and the current one
}

TEST_F(FindBarTest, nothingFoundThenEscapeClosesTheBarAndTheHistoryIsAsItWas) {
    history->CatchUp();
    const QString before = history->document()->toHtml();
    QTest::keyClick(other, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(Field(), u"zed"_s);
    QTest::keyClick(Field(), Qt::Key_Return);
    EXPECT_TRUE(bar->Current().isNull());
    EXPECT_EQ(Count(), u"No matches"_s);
    EXPECT_TRUE(history->extraSelections().isEmpty());

    Field()->setText(u"o"_s);
    for (int i = 0; i < 5; ++i) QTest::keyClick(Field(), Qt::Key_F3);
    ASSERT_FALSE(history->extraSelections().isEmpty());

    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(history->extraSelections().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(history->document()->toHtml(), before);
    EXPECT_FALSE(history->textCursor().hasSelection());
}

}  // namespace
}  // namespace vantor
