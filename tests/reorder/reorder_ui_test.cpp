// SPDX-License-Identifier: MIT
#include "reorder/reorder_ui.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "controls/prog_bar.h"
#include "controls/vantor_btn.h"
#include "fake_reorder_link.h"
#include "reorder/buddy_restore.h"
#include "support/recording_boxes.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Box {
    BoxIcon icon;
    QString title, text;
    int barValue;  // the progress bar when the box came up, -1 without a status window
};

// A reorder window over a recording link; the working folder is a fresh temporary one.
struct Window {
    ScopedRegistry registry;
    FakeReorderLink link;
    BuddyRestore restore{registry.Dir() / "restore.txt"};
    ReOrderUI ui;
    std::vector<Box> boxes;
    RecordingBoxes recorder;
    int finished = 0;

    explicit Window(const QStringList& rows) {
        ui.BuddyList()->addItems(rows);
        ui.Init();
        ui.SetWOL(&link);
        ui.SetRestore(&restore);
        recorder.onShow = [this](const RecordingBoxes::Box& box) {
            boxes.push_back({box.icon, box.title, box.text, Bar() ? Bar()->Value() : -1});
        };
        ui.SetMessageBoxes(&recorder);
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
    // The buttons that are on: "U"p, "D"own, "O"K, "C"ancel.
    QString On() const {
        QString on;
        for (const char* name : {"MoveUBtn", "MoveDBtn", "OKBtn", "CancelBtn"})
            if (Btn(name)->Enabled()) on += QChar::fromLatin1(name[0] == 'M' ? name[4] : name[0]);
        return on;
    }
};

TEST(ReOrderUI, initAndTheMoveAndRowRulesSetTheMoveButtons) {
    EXPECT_EQ(Window({}).On(), u"OC"_s);
    Window one({u"solo"_s});
    one.ClickRow(0);
    EXPECT_EQ(one.On(), u"OC"_s);  // a single row never offers a move

    Window w({u"A"_s, u"B"_s, u"C"_s});
    EXPECT_EQ(w.List()->currentRow(), 0);
    EXPECT_EQ(w.On(), u"DOC"_s);
    struct Step {
        std::function<void(Window&)> act;
        const char* rows;
        int current;
        const char* on;
    };
    const Step steps[] = {
        {[](Window& x) { x.Click("MoveDBtn"); }, "B,A,C", 1, "DOC"},  // MOVEUP stays off
        {[](Window& x) { x.Click("MoveDBtn"); }, "B,C,A", 2, "UOC"},
        {[](Window& x) { x.ClickRow(1); }, "B,C,A", 1, "UDOC"},
        {[](Window& x) { x.ClickRow(0); }, "B,C,A", 0, "DOC"},
        {[](Window& x) { x.ClickRow(2); }, "B,C,A", 2, "UOC"},
        {[](Window& x) { x.Click("MoveUBtn"); }, "B,A,C", 1, "UOC"},  // MOVEDOWN stays off
        {[](Window& x) { x.Click("MoveUBtn"); }, "A,B,C", 0, "DOC"},
        {[](Window& x) { QTest::keyClick(x.List(), Qt::Key_Down); }, "A,B,C", 1, "UDOC"},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        steps[i].act(w);
        EXPECT_EQ(w.Rows(), QString::fromLatin1(steps[i].rows)) << i;
        EXPECT_EQ(w.List()->currentRow(), steps[i].current) << i;
        EXPECT_EQ(w.On(), QString::fromLatin1(steps[i].on)) << i;
    }
}

// The commands and the success box through the main window: the app's reorder tests.
TEST(ReOrderUI, okRunsTheNewOrderUnderAStatusWindowWhoseBarCountsEveryAnswer) {
    Window w({u"A"_s, u"B"_s, u"C"_s});
    w.ClickRow(2);
    w.Click("MoveUBtn");
    w.Click("OKBtn");
    ASSERT_NE(w.ui.Stat(), nullptr);
    EXPECT_TRUE(w.ui.Stat()->isVisible() && !w.ui.isEnabled() && w.ui.Busy());
    EXPECT_EQ(w.On(), QString());
    EXPECT_EQ(w.link.Commands(), "DELBUDDY A|DELBUDDY C|DELBUDDY B");
    EXPECT_EQ(w.Bar()->Max(), 6);
    w.link.Answer("335", 3);
    EXPECT_EQ(w.Bar()->Value(), 3);
    w.link.Answer("334", 3);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].title, u"Success"_s);
    EXPECT_EQ(w.boxes[0].barValue, 6);  // the full bar stays up under the box
    EXPECT_EQ(w.finished, 1);
    EXPECT_FALSE(w.ui.Canceled() || w.ui.Busy() || w.ui.Stat());
}

TEST(ReOrderUI, cancelEscapeTheCloseBoxAndOkOnAnEmptyListSendNothingAndFinishOnce) {
    for (int way = 0; way < 4; ++way) {
        Window w(way == 3 ? QStringList() : QStringList{u"A"_s, u"B"_s});
        if (way < 3) w.Click("MoveDBtn");
        if (way == 0) w.Click("CancelBtn");
        if (way == 1) QTest::keyClick(&w.ui, Qt::Key_Escape);
        if (way == 2) w.ui.close();
        if (way == 3) w.Click("OKBtn");
        w.ui.close();
        EXPECT_EQ(w.ui.Canceled(), way < 3) << way;
        EXPECT_FALSE(w.ui.isVisible() || w.ui.Stat() || w.ui.Touched()) << way;
        EXPECT_EQ(w.finished, 1) << way;
        EXPECT_TRUE(w.link.sent.empty() && w.boxes.empty()) << way;
    }
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
    const auto silence = [](Window& w) {
        QMetaObject::invokeMethod(w.ui.Stat()->findChild<QTimer*>(u"AnswerTimer"_s), "timeout");
    };
    const QString now = u" These buddies are being added back now: B, A."_s;
    const QString later = u" These buddies will be added back at your next log-on: B, A."_s;
    struct Case {
        int deleteAnswers;
        std::function<void(Window&)> trouble;
        QString says;
    };
    const Case cases[] = {
        {1, silence,
         u"The service stopped answering while your buddies were being removed."_s + now},
        {2, silence,
         u"The service stopped answering while your buddies were being added back in the new "
         "order."_s +
             now},
        {2, [](Window& w) { w.link.Answer("401"); },
         u"The service refused to add B (reply 401)."_s + now},
        {2,
         [](Window& w) {
             w.link.connected = false;
             w.ui.ConnectionLost();
         },
         u"The connection to the service was lost while your buddies were being added back in "
         "the new order."_s +
             later},
        {0, [](Window& w) { w.ui.SessionError(100); },
         u"The connection to the service failed (error 100) while your buddies were being "
         "removed."_s +
             later},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says.toStdString());
        Window w({u"A"_s, u"B"_s});
        w.Click("MoveDBtn");
        w.Click("OKBtn");
        w.link.Answer("335", c.deleteAnswers);
        c.trouble(w);

        ASSERT_EQ(w.boxes.size(), 1u);
        EXPECT_EQ(w.boxes[0].icon, BoxIcon::Exclamation);
        EXPECT_EQ(w.boxes[0].title, u"Reorder failed"_s);
        EXPECT_EQ(w.boxes[0].text, c.says);
        EXPECT_EQ(w.boxes[0].barValue, -1);  // the status window is gone first
        EXPECT_FALSE(w.ui.Busy() || w.ui.Stat());
        EXPECT_TRUE(w.ui.isEnabled() && w.ui.Touched());
        EXPECT_EQ(w.On(), u"C"_s);
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

    for (QWidget* control :
         std::initializer_list<QWidget*>{w.List(), w.Btn("MoveUBtn"), w.Btn("MoveDBtn"),
                                         w.Btn("OKBtn"), w.Btn("CancelBtn"), w.Bar()})
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();

    Window other({u"A"_s, u"B"_s});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other.ui));
    other.Btn("CancelBtn")->setFocus();
    QTest::keyClick(other.Btn("CancelBtn"), Qt::Key_Return);  // Enter presses the focused button
    EXPECT_TRUE(other.ui.Canceled());
}

}  // namespace
}  // namespace vantor::test
