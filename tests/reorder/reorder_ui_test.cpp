// SPDX-License-Identifier: MIT
#include "reorder/reorder_ui.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <iterator>

#include "controls/prog_bar.h"
#include "controls/vantor_btn.h"
#include "fake_reorder_link.h"
#include "reorder/buddy_restore.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Box {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    int barValue;  // the progress bar when the box came up, -1 without a status window
};

// A reorder window over a recording link; the working folder is a fresh temporary one.
struct Window {
    ScopedRegistry registry;
    FakeReorderLink link;
    BuddyRestore restore{registry.Dir() / "restore.txt"};
    ReOrderUI ui;
    std::vector<Box> boxes;
    int finished = 0;

    explicit Window(const QStringList& rows) {
        for (const QString& row : rows) ui.BuddyList()->addItem(row);
        ui.Init();
        ui.SetLink(&link);
        ui.SetRestore(&restore);
        ui.SetBoxShower(
            [this](QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text) {
                boxes.push_back({icon, title, text, Bar() ? Bar()->Value() : -1});
            });
        QObject::connect(&ui, &ReOrderUI::Finished, &ui, [this] { ++finished; });
        ui.show();
    }

    VantorBtn* Btn(const char* name) const {
        return ui.findChild<VantorBtn*>(QString::fromLatin1(name));
    }
    void Click(const char* name) { QTest::mouseClick(Btn(name), Qt::LeftButton); }
    QListWidget* List() const { return ui.BuddyList(); }
    void ClickRow(int row) {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(List()->item(row)).center());
    }
    ProgBar* Bar() const {
        return ui.Stat() ? ui.Stat()->findChild<ProgBar*>(u"ProgBar"_s) : nullptr;
    }
    QString Rows() const {
        QStringList rows;
        for (int i = 0; i < List()->count(); ++i) rows << List()->item(i)->text();
        return rows.join(u',');
    }
    // The move buttons that are on: "U", "D", "UD" or "".
    QString Moves() const {
        return QString(Btn("MoveUBtn")->Enabled() ? u"U"_s : QString()) +
               (Btn("MoveDBtn")->Enabled() ? u"D"_s : QString());
    }
    std::string OrderFile() const {
        std::ifstream in(registry.Dir() / "BudListReordTemp.tmp", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST(ReOrderUI, initAndTheMoveAndRowRulesSetTheMoveButtons) {
    EXPECT_EQ(Window({}).Moves(), u""_s);
    EXPECT_EQ(Window({u"solo"_s}).Moves(), u""_s);
    EXPECT_EQ(Window({u"A"_s, u"B"_s}).Moves(), u"D"_s);

    Window one({u"solo"_s});
    one.ClickRow(0);
    EXPECT_EQ(one.Moves(), u""_s);  // a single row never offers a move

    Window w({u"A"_s, u"B"_s, u"C"_s});
    EXPECT_EQ(w.List()->currentRow(), 0);
    struct Step {
        std::function<void(Window&)> act;
        const char* rows;
        int current;
        const char* moves;
    };
    const Step steps[] = {
        {[](Window& x) { x.Click("MoveDBtn"); }, "B,A,C", 1, "D"},  // MOVEUP stays off
        {[](Window& x) { x.Click("MoveDBtn"); }, "B,C,A", 2, "U"},
        {[](Window& x) { x.ClickRow(1); }, "B,C,A", 1, "UD"},
        {[](Window& x) { x.ClickRow(0); }, "B,C,A", 0, "D"},
        {[](Window& x) { x.ClickRow(2); }, "B,C,A", 2, "U"},
        {[](Window& x) { x.Click("MoveUBtn"); }, "B,A,C", 1, "U"},  // MOVEDOWN stays off
        {[](Window& x) { x.Click("MoveUBtn"); }, "A,B,C", 0, "D"},
        {[](Window& x) { QTest::keyClick(x.List(), Qt::Key_Down); }, "A,B,C", 1, "UD"},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act(w);
        EXPECT_EQ(w.Rows(), QString::fromLatin1(steps[i].rows)) << i;
        EXPECT_EQ(w.List()->currentRow(), steps[i].current) << i;
        EXPECT_EQ(w.Moves(), QString::fromLatin1(steps[i].moves)) << i;
    }
}

TEST(ReOrderUI, okReuploadsTheNewOrderThroughTheStatusWindowThenReportsSuccess) {
    struct Case {
        QStringList rows;
        int movesUpOfLast;
        std::string deletes, adds, file;
    };
    const Case cases[] = {
        {{u"solo"_s}, 0, "DELBUDDY solo", "ADDBUDDY solo", "solo\r\n"},
        {{u"A"_s, u"B"_s, u"C"_s},
         2,
         "DELBUDDY C|DELBUDDY A|DELBUDDY B",
         "ADDBUDDY C|ADDBUDDY A|ADDBUDDY B",
         "C\r\nA\r\nB\r\n"},
    };
    for (const Case& c : cases) {
        Window w(c.rows);
        const int total = int(c.rows.size());
        if (c.movesUpOfLast > 0) w.ClickRow(total - 1);
        for (int i = 0; i < c.movesUpOfLast; ++i) w.Click("MoveUBtn");
        w.Click("OKBtn");

        ReOrderStatusUI* stat = w.ui.Stat();
        ASSERT_NE(stat, nullptr);
        EXPECT_EQ(stat->windowTitle(), u"Reordering buddy list..."_s);
        EXPECT_EQ(stat->findChild<QLabel*>(u"PWait"_s)->text(),
                  u"Please wait while you buddy list is adjusted..."_s);
        EXPECT_TRUE(stat->isVisible() && stat->isEnabled() && !w.ui.isEnabled() && w.ui.Busy());
        EXPECT_EQ(stat->cursor().shape(), Qt::WaitCursor);
        EXPECT_EQ(w.Moves() + (w.Btn("OKBtn")->Enabled() ? u"O"_s : QString()) +
                      (w.Btn("CancelBtn")->Enabled() ? u"C"_s : QString()),
                  QString());
        EXPECT_EQ(w.Bar()->Max(), 2 * total);
        EXPECT_EQ(w.link.Commands(), c.deletes);
        EXPECT_EQ(w.OrderFile(), c.file);

        w.link.Answer("335", total);
        EXPECT_EQ(w.Bar()->Value(), total);
        EXPECT_EQ(w.link.Commands(c.rows.size()), c.adds);
        EXPECT_EQ(w.finished, 0);
        w.link.Answer("334", total);

        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].icon, QMessageBox::Information);
        EXPECT_EQ(w.boxes[0].title, u"Success"_s);
        EXPECT_EQ(w.boxes[0].text,
                  u"Buddy list successfully adjusted, the main window will now be refreshed."_s);
        EXPECT_EQ(w.boxes[0].barValue, 2 * total);
        EXPECT_EQ(w.finished, 1);
        EXPECT_FALSE(w.ui.Canceled() || w.ui.Busy() || w.ui.Stat());
        EXPECT_TRUE(w.ui.Touched());
        EXPECT_TRUE(w.restore.Pending("me").empty());
    }
}

TEST(ReOrderUI, cancelEscapeAndTheCloseBoxSendNothingAndFinishOnce) {
    for (int way = 0; way < 3; ++way) {
        Window w({u"A"_s, u"B"_s});
        w.Click("MoveDBtn");
        if (way == 0) w.Click("CancelBtn");
        if (way == 1) QTest::keyClick(&w.ui, Qt::Key_Escape);
        if (way == 2) w.ui.close();
        w.ui.close();
        EXPECT_TRUE(w.ui.Canceled() && !w.ui.isVisible()) << way;
        EXPECT_EQ(w.finished, 1) << way;
        EXPECT_FALSE(w.ui.Touched()) << way;
        EXPECT_TRUE(w.link.sent.empty()) << way;
    }
}

TEST(ReOrderUI, okOnAnEmptyListSendsNothingAndFinishesAtOnce) {
    Window w({});
    w.Click("OKBtn");
    EXPECT_EQ(w.finished, 1);
    EXPECT_FALSE(w.ui.Canceled() || w.ui.isVisible() || w.ui.Stat() || w.ui.Touched());
    EXPECT_TRUE(w.link.sent.empty() && w.boxes.empty());
}

TEST(ReOrderUI, whileARunIsOnNeitherWindowCanBeClosed) {
    Window w({u"A"_s, u"B"_s});
    w.Click("OKBtn");
    ReOrderStatusUI* stat = w.ui.Stat();
    w.ui.close();
    stat->close();
    QTest::keyClick(stat, Qt::Key_Escape);
    EXPECT_TRUE(stat->isVisible() && w.ui.isVisible() && w.ui.Busy());
    EXPECT_EQ(w.finished, 0);
    EXPECT_FALSE(w.ui.Canceled());
}

TEST(ReOrderUI, aFailedRunClosesTheStatusSaysWhatHappenedAndLeavesCancel) {
    struct Case {
        const char* name;
        int deleteAnswers;
        std::function<void(Window&)> trouble;
        QString says;
    };
    const Case cases[] = {
        {"silent while deleting", 1,
         [](Window& w) {
             QMetaObject::invokeMethod(w.ui.Stat()->findChild<QTimer*>(u"AnswerTimer"_s),
                                       "timeout");
         },
         u"The service stopped answering while your buddies were being removed. These buddies "
         "are being added back now: B, A."_s},
        {"silent while adding", 2,
         [](Window& w) {
             QMetaObject::invokeMethod(w.ui.Stat()->findChild<QTimer*>(u"AnswerTimer"_s),
                                       "timeout");
         },
         u"The service stopped answering while your buddies were being added back in the new "
         "order. These buddies are being added back now: B, A."_s},
        {"refused", 2, [](Window& w) { w.link.Answer("401"); },
         u"The service refused to add B (reply 401). These buddies are being added back now: "
         "B, A."_s},
        {"dropped", 2,
         [](Window& w) {
             w.link.connected = false;
             w.ui.ConnectionLost();
         },
         u"The connection to the service was lost while your buddies were being added back in "
         "the new order. These buddies will be added back at your next log-on: B, A."_s},
        {"session error", 0, [](Window& w) { w.ui.SessionError(100); },
         u"The connection to the service failed (error 100) while your buddies were being "
         "removed. These buddies will be added back at your next log-on: B, A."_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Window w({u"A"_s, u"B"_s});
        w.Click("MoveDBtn");
        w.Click("OKBtn");
        w.link.Answer("335", c.deleteAnswers);
        c.trouble(w);

        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].icon, QMessageBox::Warning);
        EXPECT_EQ(w.boxes[0].title, u"Reorder failed"_s);
        EXPECT_EQ(w.boxes[0].text, c.says);
        EXPECT_EQ(w.boxes[0].barValue, -1);  // the status window is gone first
        EXPECT_FALSE(w.ui.Busy() || w.ui.Stat());
        EXPECT_TRUE(w.ui.isEnabled() && w.ui.Touched());
        EXPECT_EQ(w.Moves(), QString());
        EXPECT_FALSE(w.Btn("OKBtn")->Enabled());
        EXPECT_EQ(w.finished, 0);
        EXPECT_EQ(w.restore.Pending("me"), (std::vector<std::string>{"B", "A"}));

        w.Click("CancelBtn");
        EXPECT_EQ(w.finished, 1);
        EXPECT_TRUE(w.ui.Canceled());
    }
}

TEST(ReOrderUI, theKeyboardAloneCompletesAReorderAndEveryControlHasAName) {
    Window w({u"A"_s, u"B"_s, u"C"_s});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.ui));
    w.List()->setFocus();
    QTest::keyClick(w.List(), Qt::Key_Down);
    QTest::keyClick(w.List(), Qt::Key_Tab);
    ASSERT_TRUE(w.Btn("MoveUBtn")->hasFocus());
    QTest::keyClick(w.Btn("MoveUBtn"), Qt::Key_Space);
    EXPECT_EQ(w.Rows(), u"B,A,C"_s);
    EXPECT_TRUE(w.List()->hasFocus());
    QTest::keyClick(w.List(), Qt::Key_Return);  // Enter in the list is OK
    EXPECT_EQ(w.link.Commands(), "DELBUDDY B|DELBUDDY A|DELBUDDY C");

    QStringList names;
    for (QWidget* control :
         std::initializer_list<QWidget*>{w.List(), w.Btn("MoveUBtn"), w.Btn("MoveDBtn"),
                                         w.Btn("OKBtn"), w.Btn("CancelBtn"), w.Bar()})
        names << control->accessibleName();
    EXPECT_EQ(names.join(u'|'), u"Buddy order|Move up|Move down|OK|CANCEL|Reorder progress"_s);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w.Bar());
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    w.link.Answer("335", 2);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 2);
    EXPECT_EQ(bar->valueInterface()->maximumValue().toInt(), 6);

    Window other({u"A"_s, u"B"_s});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other.ui));
    other.Btn("CancelBtn")->setFocus();
    QTest::keyClick(other.Btn("CancelBtn"), Qt::Key_Return);  // Enter presses the focused button
    EXPECT_TRUE(other.ui.Canceled());
}

}  // namespace
}  // namespace vantor::test
