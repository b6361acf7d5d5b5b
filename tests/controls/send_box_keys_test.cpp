// SPDX-License-Identifier: MIT
#include "controls/send_box_keys.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

class SendBoxKeysTest : public ::testing::Test {
protected:
    SendBoxKeysTest() {
        before = new QLineEdit(&window);
        box = new QLineEdit(&window);
        after = new QLineEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : {before, box, after}) layout->addWidget(w);
        keys = new SendBoxKeys(box, [this] { return names; });
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void Type(const QString& text, int cursor = -1) {
        box->setFocus();
        box->setText(text);
        box->setCursorPosition(cursor < 0 ? int(text.size()) : cursor);
    }

    QStringList names{u"carl"_s, u"Bonnie"_s, u"bob"_s, u"op"_s, u"BOB"_s};
    QWidget window;
    QLineEdit* before;
    QLineEdit* box;
    QLineEdit* after;
    SendBoxKeys* keys;
};

TEST_F(SendBoxKeysTest, tabCompletesTheNicknameBeforeTheCursorAndCyclesThroughMatches) {
    struct Row {
        QString typed;
        int cursor;
        int tabs;
        QString shown;
    } const rows[] = {
        {u"bo"_s, -1, 1, u"bob: "_s},  // at the start of the line, ": " follows
        {u"bo"_s, -1, 2, u"Bonnie: "_s},
        {u"bo"_s, -1, 3, u"bob: "_s},  // round again; "BOB" is bob once
        {u"BO"_s, -1, 1, u"bob: "_s},
        {u"hi bo"_s, -1, 1, u"hi bob"_s},
        {u"hi bo"_s, -1, 2, u"hi Bonnie"_s},
        {u"hi bo there"_s, 5, 2, u"hi Bonnie there"_s},
        {u"c"_s, -1, 2, u"carl: "_s},
    };
    for (const Row& row : rows) {
        Type(row.typed, row.cursor);
        for (int i = 0; i < row.tabs; ++i) QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(box->text(), row.shown) << row.typed.toStdString() << " x" << row.tabs;
        EXPECT_EQ(QApplication::focusWidget(), box);
    }
    // An edit ends the cycle: the next Tab starts afresh instead of taking the next match.
    Type(u"bo"_s);
    QTest::keyClick(box, Qt::Key_Tab);
    QTest::keyClicks(box, u"hi bo"_s);
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(box->text(), u"bob: hi bob"_s);
}

TEST_F(SendBoxKeysTest, tabWithNothingToCompleteMovesTheFocusAsElsewhere) {
    for (const QString& typed : {QString(), u"xy"_s, u"bo "_s}) {
        Type(typed);
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), after) << typed.toStdString();
        EXPECT_EQ(box->text(), typed);
    }
    Type(u"bo"_s);
    QTest::keyClick(box, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), before);
    EXPECT_EQ(box->text(), u"bo"_s);
}

TEST_F(SendBoxKeysTest, upAndDownRecallTheLastFiftyLinesSentAndTheLineBeingTyped) {
    for (int i = 0; i < 55; ++i) keys->Sent(u"line %1"_s.arg(i));
    Type(QString());
    for (int i = 0; i < 60; ++i) QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->text(), u"line 5"_s);

    keys->Sent(u"one"_s);
    keys->Sent(u"two"_s);
    Type(u"draft"_s);
    const std::pair<Qt::Key, QString> steps[] = {
        {Qt::Key_Up, u"two"_s},     {Qt::Key_Up, u"one"_s},   {Qt::Key_Up, u"line 54"_s},
        {Qt::Key_Down, u"one"_s},   {Qt::Key_Down, u"two"_s}, {Qt::Key_Down, u"draft"_s},
        {Qt::Key_Down, u"draft"_s},
    };
    for (const auto& [key, shown] : steps) {
        QTest::keyClick(box, key);
        EXPECT_EQ(box->text(), shown);
    }
}

}  // namespace
}  // namespace vantor
