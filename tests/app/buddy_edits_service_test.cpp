// SPDX-License-Identifier: MIT
// Adding, deleting and reordering buddies as a user, against the bundled local service.
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QListWidget>
#include <filesystem>

#include "app/add_buddy_ui.h"
#include "app_fixture.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_ui.h"
#include "support/dying_reorder_link.h"
#include "support/local_server.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct ServiceFixture : MainWindowFixture {
    LocalServer server;

    // The list has come and its locations are known: the edit buttons are on.
    bool Idle() const { return Btn("AddBud")->Enabled() && !main->ChildOpen(); }
    bool LogOnAs(const QString& nick) {
        if (!server.Ok()) return false;
        if (main->Session().LoggedOn()) Click("LogInBtn");
        SaveSettingLong("ServerPort", server.BasePort());
        answers.push_back(LogOnAnswer{false, nick, u"secret"_s});
        Click("LogInBtn");
        return PumpUi([this] { return Idle(); });
    }
    bool Add(const QString& typed) {
        Click("AddBud");
        AddBuddyUI* dialog = main->AddBudUI();
        if (!dialog) return false;
        QTest::keyClicks(dialog->findChild<QLineEdit*>(u"BuddyText"_s), typed);
        Press(dialog, "AddBtn");
        return PumpUi([this] { return Idle(); });
    }
    // Opens the reorder window and moves the row at `from` up `steps` times.
    ReOrderUI* OpenReorder(int from, int steps) {
        Click("ReOrdBud");
        ReOrderUI* ui = main->ReordUI();
        if (!ui) return nullptr;
        ui->BuddyList()->setCurrentRow(from);
        for (int i = 0; i < steps; ++i) Press(ui, "MoveUBtn");
        return ui;
    }
};

TEST(BuddyEditsOnService, addDeleteAndReorderReachTheServiceAndTheNextLogOnShowsThem) {
    ServiceFixture f;
    ASSERT_TRUE(f.LogOnAs(u"ann"_s));
    EXPECT_EQ(f.Rows(), QString());
    for (const QString& nick : {u"Alpha"_s, u"bravo"_s, u"charlie"_s, u"delta"_s})
        ASSERT_TRUE(f.Add(nick)) << nick.toStdString();
    ASSERT_TRUE(f.Add(u"ALPHA"_s));  // already there, as typed in lower case
    EXPECT_EQ(f.Rows(), u"alpha|bravo|charlie|delta"_s);
    f.Select("bravo");
    f.boxes.replies = {true};
    f.Click("DelBud");
    EXPECT_EQ(f.Rows(), u"alpha|charlie|delta"_s);

    ReOrderUI* ui = f.OpenReorder(2, 2);  // delta to the top
    ASSERT_NE(ui, nullptr);
    EXPECT_TRUE(f.main->ChildOpen() && !f.main->isEnabled() && ui->isEnabled());
    f.Press(ui, "OKBtn");
    ASSERT_TRUE(PumpUi([&] { return f.Idle() && f.List()->topLevelItemCount() == 3; }));
    EXPECT_EQ(f.Rows(), u"delta|alpha|charlie"_s);

    ASSERT_TRUE(f.LogOnAs(u"ann"_s));
    EXPECT_EQ(f.Rows(), u"delta|alpha|charlie"_s);
    // The questions, the success box, and nothing else.
    ASSERT_EQ(f.boxes.boxes.size(), 2u);
    EXPECT_EQ(f.boxes.boxes[0].title, u"Confirm buddy deletion"_s);
    EXPECT_EQ(f.Box(1),
              u"Success|Buddy list successfully adjusted, the main window will now be "
              u"refreshed."_s);
}

TEST(BuddyEditsOnService, buddiesAReorderLostWithItsConnectionComeBackAtTheNextLogOn) {
    ServiceFixture f;
    ASSERT_TRUE(f.LogOnAs(u"bob"_s));
    for (const QString& nick : {u"alpha"_s, u"bravo"_s, u"charlie"_s}) ASSERT_TRUE(f.Add(nick));
    ReOrderUI* ui = f.OpenReorder(2, 1);  // alpha, charlie, bravo
    ASSERT_NE(ui, nullptr);
    DyingReorderLink link(f.main->WOL());
    ui->SetWOL(&link);
    f.Press(ui, "OKBtn");
    ASSERT_TRUE(PumpUi([&] { return !f.boxes.boxes.empty(); }));  // the reorder's own box
    f.Press(ui, "CancelBtn");
    EXPECT_FALSE(f.main->ChildOpen());

    // Every delete went through and no add: the log-on finds an empty list and mends it.
    ASSERT_TRUE(f.LogOnAs(u"bob"_s));
    EXPECT_EQ(f.Rows(), u"alpha|charlie|bravo"_s);
    ASSERT_TRUE(PumpUi([&] { return f.boxes.boxes.size() == 2; }));
    EXPECT_EQ(f.boxes.boxes[1].icon, BoxIcon::Information);
    EXPECT_EQ(f.boxes.boxes[1].text,
              u"An unfinished reorder had taken these buddies off your list; they have been "
              u"added back: alpha, charlie, bravo."_s);
    ASSERT_TRUE(PumpUi([] { return !std::filesystem::exists(BuddyRestore::DefaultFile()); }));

    ASSERT_TRUE(f.LogOnAs(u"bob"_s));
    EXPECT_EQ(f.Rows(), u"alpha|charlie|bravo"_s);
    QTest::qWait(20);  // a restore box would be queued behind the filling
    EXPECT_EQ(f.boxes.boxes.size(), 2u);
}

}  // namespace
}  // namespace vantor::test
