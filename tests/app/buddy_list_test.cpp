// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <algorithm>

#include "app_fixture.h"
#include "pages/page_win.h"

namespace vantor::test {
namespace {

TEST(BuddyList, answerFillsOneRowPerNicknameUnderColumnsChosenByTheSettings) {
    struct Case {
        const char* list;
        int scanOtherServers;
        int refreshInterval;
        const char* headers;  // joined by "|"
    };
    const char* two = "Buddy NickName|Location";
    for (const Case& c :
         {Case{"alice`bob2`carol", 0, 0, two}, Case{"Solo", 2, 0, two},
          Case{"alice`carol", 1, 5, "Buddy NickName|USA Server|European Server|Pacific Server"},
          Case{"", 0, 0, two}}) {
        SCOPED_TRACE(c.list);
        MainWindowFixture f;
        SaveSettingLong("ScanBuddyOtherServer", c.scanOtherServers);
        SaveSettingLong("AutoBuddyRefreshInt", c.refreshInterval);
        EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
        ASSERT_TRUE(f.LogOnWithList(c.list));

        EXPECT_EQ(f.Rows(), QString::fromLatin1(c.list).replace(u'`', u'|'));
        const QStringList headers = QString::fromLatin1(c.headers).split(u'|');
        ASSERT_EQ(f.List()->columnCount(), headers.size());
        for (int col = 0; col < headers.size(); ++col) {
            EXPECT_EQ(f.List()->headerItem()->text(col), headers[col]);
            EXPECT_EQ(f.List()->columnWidth(col), col == 0 ? 133 : 146);
            for (int row = 0; col > 0 && row < f.List()->topLevelItemCount(); ++row)
                EXPECT_EQ(f.List()->topLevelItem(row)->text(col), QStringLiteral("Unknown"));
        }
        EXPECT_EQ(f.List()->currentItem(), f.List()->topLevelItem(0));  // arrow keys work at once
        EXPECT_TRUE(f.Item("BuddyMnu_ReDL")->isEnabled());
        EXPECT_EQ(f.Timer("RefBuddy")->isActive(), c.refreshInterval != 0);
    }
}

TEST(BuddyList, logOffWhileFillingLeavesTheListEmpty) {
    MainWindowFixture f;
    ASSERT_TRUE(f.LogOnAsBob() && f.peer.WaitForLine("GETBUDDY"));
    // Each row lets pending events run; after the first a log-off click is among them.
    bool clicked = false;
    QObject::connect(f.List()->model(), &QAbstractItemModel::rowsInserted, f.main.get(), [&] {
        if (!clicked) QTimer::singleShot(0, f.main.get(), [&] { f.Click("LogInBtn"); });
        clicked = true;
    });
    f.peer.SendLine(":s 333 bob alice`carol`dave");
    ASSERT_TRUE(PumpUi([&] { return f.Btn("LogInBtn")->BtnText() == QStringLiteral("LOG"); }));
    QTest::qWait(20);
    EXPECT_EQ(f.List()->topLevelItemCount() + f.List()->columnCount(), 0);
    EXPECT_FALSE(f.Btn("PageBud")->Enabled());
}

TEST(BuddyList, everyPageCommandAndTheMenuActOnlyOnARow) {
    MainWindowFixture f;
    QStringList menus;  // the refresh item's caption at each showing
    f.main->SetMenuShower(
        [&](QMenu&, const QPoint&) { menus << f.Item("BuddyMnu_RefUsr")->text(); });
    ASSERT_TRUE(f.LogOnWithList("alice`Carol`dave"));
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    PageRouter& pages = f.main->WOL().Pages();
    QWidget* viewport = f.List()->viewport();
    const QPoint carol = f.List()->visualItemRect(f.List()->topLevelItem(1)).center();
    const QPoint empty(5, viewport->height() - 5);
    // QTest's widget double-click comes without the press an item view looks for.
    const auto doubleClick = [viewport](const QPoint& at) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    };

    f.Click("PageBud");  // the first row is selected once the list is filled
    EXPECT_NE(pages.Find("alice"), nullptr);
    doubleClick(carol);
    ASSERT_EQ(pages.Count(), 2u);
    EXPECT_EQ(pages.PageWins().back()->FromNick(), "Carol");  // as the row has it
    f.List()->setFocus();
    QTest::keyClick(f.List(), Qt::Key_Down);
    QTest::keyClick(f.List(), Qt::Key_Return);
    EXPECT_NE(pages.Find("dave"), nullptr);
    f.main->WOL().CloseAllPageWin();
    f.Item("BuddyMnu_Page")->trigger();
    EXPECT_NE(pages.Find("dave"), nullptr);

    f.main->WOL().CloseAllPageWin();
    f.List()->clearSelection();
    f.Click("PageBud");
    QTest::keyClick(f.List(), Qt::Key_Return);
    doubleClick(empty);
    EXPECT_EQ(pages.Count(), 0u);

    QTest::mouseClick(viewport, Qt::RightButton, {}, empty);
    QTest::mouseClick(viewport, Qt::MiddleButton, {}, carol);
    EXPECT_TRUE(menus.isEmpty());
    QTest::mouseClick(viewport, Qt::RightButton, {}, carol);
    EXPECT_EQ(menus, QStringList{QStringLiteral("&Refresh location for \"Carol\"")});
    EXPECT_EQ(f.List()->selectedItems().value(0), f.List()->topLevelItem(1));
    // The keyboard's menu key offers it for the selected row.
    f.List()->setCurrentItem(f.List()->topLevelItem(0));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(f.List(), &key);
    EXPECT_EQ(menus.value(1), QStringLiteral("&Refresh location for \"alice\""));
}

TEST(BuddyList, reDownloadEmptiesTheListAsksAgainAndRefills) {
    MainWindowFixture f;
    ASSERT_TRUE(f.LogOnWithList("alice`carol"));
    f.Item("BuddyMnu_ReDL")->trigger();
    EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
    EXPECT_EQ(f.List()->topLevelItemCount() + f.List()->columnCount(), 0);
    ASSERT_TRUE(PumpUi([&] { return std::ranges::count(f.peer.Lines(), "GETBUDDY") == 2; }));
    f.peer.SendLine(":s 333 bob dave");
    ASSERT_TRUE(PumpUi([&] { return f.Item("BuddyMnu_ReDL")->isEnabled(); }));
    EXPECT_EQ(f.Rows(), QStringLiteral("dave"));
    EXPECT_EQ(f.List()->columnCount(), 2);
}

}  // namespace
}  // namespace vantor::test
