// SPDX-License-Identifier: MIT
// Adding, deleting and reordering buddies as a user, against the bundled local service.
#include <gtest/gtest.h>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <filesystem>

#include "app/add_buddy_ui.h"
#include "app_fixture.h"
#include "chat/chat_ui.h"
#include "reorder/buddy_restore.h"
#include "reorder/reorder_ui.h"
#include "support/demo_places.h"
#include "support/dying_reorder_link.h"
#include "support/local_server.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct ServiceFixture : MainWindowFixture {
    LocalServer server;

    explicit ServiceFixture(bool demo = false) : server(demo) {}

    // The list has come and its locations are known: the edit buttons are on.
    bool Idle() const { return Btn("AddBud")->Enabled() && !main->ChildOpen(); }
    bool LogOnAs(const QString& nick, const QString& password = u"secret"_s) {
        if (!server.Ok()) return false;
        if (main->Session().LoggedOn()) Click("LogInBtn");
        SaveSettingLong("ServerPort", server.BasePort());
        answers.push_back(LogOnAnswer{false, nick, password});
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

// The demo account's list drawn online first, a buddy's lobby joined from the menu, and a reorder
// of the service's list, which the view's order leaves alone.
TEST(BuddyEditsOnService, theDemoListSortedOnlineFirstJoinsALobbyAndReordersTheServicesList) {
    ServiceFixture f(/*demo=*/true);
    f.main->SetMenuShower([](QMenu&, const QPoint&) {});
    ASSERT_TRUE(f.LogOnAs(u"demo"_s, u"demo"_s));
    ASSERT_TRUE(PumpUi([&] { return f.Text("Status").startsWith(u"Search completed"_s); }));
    const auto rightClick = [&](const char* nick) {
        QTreeWidgetItem* item =
            f.List()->findItems(QString::fromLatin1(nick), Qt::MatchExactly).value(0);
        QTest::mouseClick(f.List()->viewport(), Qt::RightButton, {},
                          f.List()->visualItemRect(item).center());
    };
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    rightClick("guest");
    f.Item("BuddyMnu_SortOnline")->trigger();
    const QString online = f.Rows();
    EXPECT_TRUE(online.endsWith(u"|guest"_s)) << online.toStdString();   // not logged in: last
    EXPECT_LT(online.indexOf(u"warden"_s), online.indexOf(u"shade"_s));  // hiding after those in

    rightClick("warden");
    QAction* join = f.Item("BuddyMnu_Join");
    ASSERT_TRUE(join->isVisible());
    EXPECT_EQ(join->text(), u"&Join Azure Barracks"_s);
    join->trigger();
    auto* chat = qobject_cast<ChatUI*>(f.main->Cht());
    ASSERT_NE(chat, nullptr);
    ASSERT_TRUE(PumpUi([&] { return chat->ChatActive(); }));
    EXPECT_EQ(chat->Core().Row(chat->CurrentLobby())->name, "Azure Barracks");
    EXPECT_NE(chat->Core().FindMember("warden"), nullptr);

    // guest to the top of the service's list; the view stays online first.
    ReOrderUI* ui = f.OpenReorder(kDemoBuddies - 1, kDemoBuddies - 1);
    ASSERT_NE(ui, nullptr);
    f.Press(ui, "OKBtn");
    ASSERT_TRUE(PumpUi([&] {
        return f.Idle() && f.List()->topLevelItemCount() == kDemoBuddies &&
               f.Text("Status").startsWith(u"Search completed"_s);
    }));
    const auto service = [&] {
        QStringList nicks;
        for (const BuddyRow& row : f.main->Session().Buddies().Rows())
            nicks << QString::fromStdString(row.nick);
        return nicks.join(u'|');
    };
    const QString reordered = u"guest|echo|marla|dozer|rover|tanker|shade|warden"_s;
    EXPECT_EQ(service(), reordered);
    EXPECT_TRUE(f.Rows().endsWith(u"|guest"_s)) << f.Rows().toStdString();
    // The service kept it: the next log-on's list comes so.
    ASSERT_TRUE(f.LogOnAs(u"demo"_s, u"demo"_s));
    EXPECT_EQ(service(), reordered);
    EXPECT_TRUE(f.Rows().endsWith(u"|guest"_s));  // and the view is online first still
}

}  // namespace
}  // namespace vantor::test
