// SPDX-License-Identifier: MIT
// Adding, deleting and reordering buddies through the main window, against a scripted peer.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>

#include "app/add_buddy_ui.h"
#include "app/loader.h"
#include "app_fixture.h"
#include "reorder/reorder_ui.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kEditsOn = u"AddBud DelBud ReOrdBud"_s;

// Logged on as bob with a buddy list whose location search has given up, so the buttons are on.
struct EditFixture : MainWindowFixture {
    bool Ready(const std::string& list) {
        if (!LogOnWithList(list)) return false;
        Tick("SearchTimer");
        return Edits() == kEditsOn;
    }
    QString Edits() const {
        QStringList on;
        for (const char* b : {"AddBud", "DelBud", "ReOrdBud"})
            if (Btn(b)->Enabled()) on << QString::fromLatin1(b);
        return on.join(u' ');
    }

    // What the main session sent from now on, up to a marker line sent after it: everything sent
    // before the marker has then reached the peer.
    std::size_t Mark() { return peer.Lines().size(); }
    std::vector<std::string> SentSince(std::size_t mark) {
        const std::string marker = "MARK " + std::to_string(++markers);
        main->WOL().send(marker);
        if (!peer.WaitForLine(marker)) return {"(no marker)"};
        const auto& lines = peer.Lines();
        std::vector<std::string> sent(lines.begin() + static_cast<long>(mark), lines.end());
        std::erase_if(sent, [](const std::string& line) { return line.starts_with("MARK "); });
        return sent;
    }
    int markers = 0;
    std::size_t Count(const std::string& line) {
        return static_cast<std::size_t>(std::ranges::count(peer.Lines(), line));
    }
    AddBuddyUI* OpenAdd(const QString& typed) {
        Click("AddBud");
        AddBuddyUI* dialog = main->AddBudUI();
        if (dialog) QTest::keyClicks(dialog->findChild<QLineEdit*>(u"BuddyText"_s), typed);
        return dialog;
    }
    void Answer(const char* code, int times) {
        for (int i = 0; i < times; ++i) peer.SendLine(std::string(":s ") + code + " bob x");
    }
};

// Which nickname an add sends is the add dialog's own test; here the window's part of it.
TEST(BuddyEdits, addSendsTheNicknameAndAsksWhereItIs) {
    EditFixture f;
    ASSERT_TRUE(f.Ready("Bob`alice"));
    const std::size_t mark = f.Mark();
    AddBuddyUI* dialog = f.OpenAdd(u"Bob"_s);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(f.main->ChildOpen() && !f.main->isEnabled());
    QPointer<AddBuddyUI> gone = dialog;
    f.Press(dialog, "AddBtn");

    EXPECT_TRUE(!f.main->ChildOpen() && f.main->isEnabled());
    EXPECT_TRUE(PumpUi([&] { return gone.isNull(); }));
    EXPECT_EQ(f.SentSince(mark), (std::vector<std::string>{"ADDBUDDY bob", "FINDUSEREX bob"}));
    EXPECT_EQ(f.Rows(), u"Bob|alice|bob"_s);
    // The new row waits for its location with the buttons off; the answer fills its cell.
    EXPECT_EQ(f.Edits(), QString());
    EXPECT_FALSE(f.Item("BuddyMnu_Ref")->isEnabled());
    f.peer.SendLine(":s 398 bob 3");
    ASSERT_TRUE(PumpUi([&] { return f.Cell("bob", 1) == u"Logged In"_s; }));
    EXPECT_EQ(f.Cell("Bob", 1), u"Unknown"_s);
    EXPECT_EQ(f.Edits(), kEditsOn);
    EXPECT_TRUE(f.Item("BuddyMnu_Ref")->isEnabled());

    // A cancelled dialog sends nothing and gives the window back.
    const std::size_t cancelled = f.Mark();
    dialog = f.OpenAdd(u"carol"_s);
    ASSERT_NE(dialog, nullptr);
    gone = dialog;
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(!f.main->ChildOpen() && f.main->isEnabled());
    EXPECT_TRUE(PumpUi([&] { return gone.isNull(); }));
    EXPECT_EQ(f.SentSince(cancelled), std::vector<std::string>{});
    EXPECT_EQ(f.Rows(), u"Bob|alice|bob"_s);
}

TEST(BuddyEdits, deleteAsksFirstNoChangesNothingAndALaterRefreshUsesTheNewIndex) {
    EditFixture f;
    ASSERT_TRUE(f.Ready("alice`Bob2`carol`dave"));
    const std::size_t mark = f.Mark();
    f.List()->clearSelection();
    f.Click("DelBud");
    EXPECT_TRUE(f.boxes.boxes.empty());  // nothing selected, nothing asked

    f.Select("Bob2");
    f.Click("DelBud");  // answered No
    ASSERT_EQ(f.boxes.boxes.size(), 1u);
    EXPECT_EQ(f.boxes.boxes[0].icon, BoxIcon::Exclamation);
    EXPECT_EQ(f.Box(0),
              u"Confirm buddy deletion|Are you sure you want to delete \"Bob2\" from your buddy "
              u"list?"_s);
    EXPECT_EQ(f.Rows(), u"alice|Bob2|carol|dave"_s);
    EXPECT_EQ(f.SentSince(mark), std::vector<std::string>{});

    f.boxes.replies = {true};
    f.Item("BuddyMnu_Del")->trigger();
    EXPECT_EQ(f.Rows(), u"alice|carol|dave"_s);
    EXPECT_EQ(f.SentSince(mark), std::vector<std::string>{"DELBUDDY Bob2"});

    // dave moved from row 4 to row 3: its answer must land there.
    f.Select("dave");
    f.Item("BuddyMnu_RefUsr")->trigger();
    ASSERT_TRUE(f.peer.WaitForLine("FINDUSEREX dave"));
    f.peer.SendLine(":s 398 bob 2");
    ASSERT_TRUE(PumpUi([&] { return f.Cell("dave", 1) == u"Hiding"_s; }));
    EXPECT_EQ(f.Cell("carol", 1), u"Unknown"_s);
}

TEST(BuddyEdits, aSessionFailingUnderAReorderGivesOnlyTheReordersOwnBox) {
    for (bool errorEvent : {true, false}) {
        SCOPED_TRACE(errorEvent ? "session error" : "connection closed");
        EditFixture f;
        ASSERT_TRUE(f.Ready("alice`carol"));
        f.Click("ReOrdBud");
        ReOrderUI* ui = f.main->ReordUI();
        ASSERT_NE(ui, nullptr);
        const std::size_t run = f.Mark();
        f.Press(ui, "OKBtn");
        ASSERT_TRUE(f.peer.WaitForLines(run + 2));
        if (errorEvent) {
            f.main->WOL().Error(static_cast<ErrorCode>(10054));
        } else {
            f.peer.CloseClient();
        }
        ASSERT_TRUE(PumpUi([&] { return !f.boxes.boxes.empty(); }));
        QTest::qWait(20);  // a second box would come within the same pass
        ASSERT_EQ(f.boxes.boxes.size(), 1u);
        EXPECT_TRUE(f.Box(0).startsWith(u"Reorder failed|"_s)) << f.Box(0).toStdString();
        EXPECT_TRUE(f.Box(0).endsWith(u"added back at your next log-on: alice, carol."_s))
            << f.Box(0).toStdString();
        // The session error logs off; a closed connection leaves the logged-on look.
        EXPECT_EQ(f.main->Session().LoggedOn(), !errorEvent);

        // Only CANCEL is left; nothing is downloaded over the dead link.
        f.Press(ui, "CancelBtn");
        EXPECT_TRUE(!f.main->ChildOpen() && f.main->isEnabled());
        EXPECT_EQ(f.Count("GETBUDDY"), 1u);
        EXPECT_EQ(f.boxes.boxes.size(), 1u);
    }
}

TEST(BuddyEdits, closingTheMainWindowDuringAReorderStillEndsTheProgram) {
    EditFixture f;
    ASSERT_TRUE(f.Ready("alice`carol"));
    f.main->show();
    f.main->SetEndProgram(&EndProgram);
    f.Click("ReOrdBud");
    ReOrderUI* ui = f.main->ReordUI();
    ASSERT_NE(ui, nullptr);
    f.Press(ui, "OKBtn");
    ASSERT_TRUE(ui->Busy());
    // The status window refuses to close; a quit that asks every window would be refused too.
    QTimer::singleShot(0, f.main.get(), [&] { f.main->close(); });
    QTimer guard;  // a bound on a failure, not a measure of speed
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(f.peer.WaitForLine("QUIT"));
}

}  // namespace
}  // namespace vantor::test
