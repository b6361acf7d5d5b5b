// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>

#include "app_fixture.h"
#include "pages/page_win.h"

namespace vantor::test {
namespace {

// A main window logged on as bob whose buddy list request has reached the peer; pop-up menus
// are recorded instead of shown.
struct BuddyFixture : MainWindowFixture {
    QStringList menus;  // the refresh item's caption at each showing

    BuddyFixture() {
        main->SetMenuShower(
            [this](QMenu&, const QPoint&) { menus << Item("BuddyMnu_RefUsr")->text(); });
    }
    bool Ready() { return LogOnAsBob() && peer.WaitForLine("GETBUDDY"); }

    QTreeWidget* List() const { return Find<QTreeWidget>("BuddyList"); }
    QAction* Item(const char* name) const {
        return Find<QMenu>("BuddyMnu")->findChild<QAction*>(QString::fromLatin1(name));
    }
    // Answers the list request ("" leaves the list word out) and waits for the filling to end.
    bool Answer(const std::string& list, int rows) {
        peer.SendLine(":s 333 bob" + (list.empty() ? std::string() : " " + list));
        return PumpUi(
            [&] { return Btn("PageBud")->Enabled() && List()->topLevelItemCount() == rows; });
    }
    QString Rows() const {
        QStringList names;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            names << List()->topLevelItem(i)->text(0);
        return names.join(QLatin1Char('|'));
    }
    QPoint RowCentre(int row) const {
        return List()->visualItemRect(List()->topLevelItem(row)).center();
    }
    // QTest's widget double-click comes without the press an item view looks for.
    void DoubleClick(const QPoint& pos) {
        QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, pos);
    }
};

TEST(BuddyList, answerFillsOneRowPerNicknameUnderColumnsChosenByTheSettings) {
    struct Case {
        const char* list;
        int scanOtherServers;
        int refreshInterval;
        const char* rows;     // joined by "|"
        const char* headers;  // joined by "|"
    };
    const char* two = "Buddy NickName|Location";
    for (const Case& c :
         {Case{"alice`bob2`carol", 0, 0, "alice|bob2|carol", two}, Case{"Solo", 2, 0, "Solo", two},
          Case{"alice`carol", 1, 5, "alice|carol",
               "Buddy NickName|USA Server|European Server|Pacific Server"},
          Case{"", 0, 0, "", two}}) {
        SCOPED_TRACE(c.list);
        BuddyFixture f;
        SaveSettingLong("ScanBuddyOtherServer", c.scanOtherServers);
        SaveSettingLong("AutoBuddyRefreshInt", c.refreshInterval);
        ASSERT_TRUE(f.Ready());
        EXPECT_EQ(f.List()->columnCount(), 0);
        EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
        const QStringList rows =
            QString::fromLatin1(c.rows).split(QLatin1Char('|'), Qt::SkipEmptyParts);
        ASSERT_TRUE(f.Answer(c.list, static_cast<int>(rows.size())));

        EXPECT_EQ(f.Rows(), QString::fromLatin1(c.rows));
        const QStringList headers = QString::fromLatin1(c.headers).split(QLatin1Char('|'));
        ASSERT_EQ(f.List()->columnCount(), headers.size());
        for (int col = 0; col < headers.size(); ++col) {
            EXPECT_EQ(f.List()->headerItem()->text(col), headers[col]);
            EXPECT_EQ(f.List()->columnWidth(col), col == 0 ? 133 : 146);
            for (int row = 0; col > 0 && row < rows.size(); ++row)
                EXPECT_EQ(f.List()->topLevelItem(row)->text(col), QStringLiteral("Unknown"));
        }
        EXPECT_EQ(f.List()->currentItem(), f.List()->topLevelItem(0));  // arrow keys work at once
        EXPECT_TRUE(f.Item("BuddyMnu_ReDL")->isEnabled());
        EXPECT_EQ(f.Timer("RefBuddy")->isActive(), c.refreshInterval != 0);
        EXPECT_EQ(f.main->RefreshMinutes(), 0);
    }
}

TEST(BuddyList, logOffWhileFillingLeavesTheListEmpty) {
    BuddyFixture f;
    ASSERT_TRUE(f.Ready());
    // Each row lets pending events run; after the first a log-off click is among them.
    bool clicked = false;
    QObject::connect(f.List()->model(), &QAbstractItemModel::rowsInserted, f.main.get(), [&] {
        if (!clicked) QTimer::singleShot(0, f.main.get(), [&] { f.Click("LogInBtn"); });
        clicked = true;
    });
    f.peer.SendLine(":s 333 bob alice`carol`dave");
    ASSERT_TRUE(PumpUi([&] { return f.Btn("LogInBtn")->BtnText() == QStringLiteral("LOG"); }));
    QTest::qWait(20);
    EXPECT_EQ(f.List()->topLevelItemCount(), 0);
    EXPECT_EQ(f.List()->columnCount(), 0);
    EXPECT_FALSE(f.Btn("PageBud")->Enabled());
}

TEST(BuddyList, everyPageCommandOpensTheSelectedBuddysConversationAndNoneWithoutSelection) {
    BuddyFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(f.Answer("alice`Carol`dave", 3));
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    PageRouter& pages = f.main->WOL().Pages();

    f.Click("PageBud");  // the first row is selected once the list is filled
    EXPECT_NE(pages.Find("alice"), nullptr);
    f.DoubleClick(f.RowCentre(1));
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
    f.DoubleClick(QPoint(5, f.List()->viewport()->height() - 5));
    EXPECT_EQ(pages.Count(), 0u);
}

TEST(BuddyList, menuOpensOnlyForARowAndNamesThatRow) {
    BuddyFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(f.Answer("alice`carol", 2));
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    QWidget* viewport = f.List()->viewport();

    const QPoint empty(5, viewport->height() - 5);
    ASSERT_EQ(f.List()->itemAt(empty), nullptr);
    QTest::mouseClick(viewport, Qt::RightButton, {}, empty);
    QTest::mouseClick(viewport, Qt::MiddleButton, {}, f.RowCentre(1));
    EXPECT_TRUE(f.menus.isEmpty());

    QTest::mouseClick(viewport, Qt::RightButton, {}, f.RowCentre(1));
    EXPECT_EQ(f.menus, QStringList{QStringLiteral("&Refresh location for \"carol\"")});
    EXPECT_EQ(f.List()->selectedItems().value(0), f.List()->topLevelItem(1));

    // The keyboard's menu key offers it for the selected row.
    f.List()->setCurrentItem(f.List()->topLevelItem(0));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(f.List(), &key);
    ASSERT_EQ(f.menus.size(), 2);
    EXPECT_EQ(f.menus[1], QStringLiteral("&Refresh location for \"alice\""));
}

TEST(BuddyList, reDownloadEmptiesTheListAsksAgainAndRefillsAndLogOffEmptiesIt) {
    BuddyFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(f.Answer("alice`carol", 2));

    f.Item("BuddyMnu_ReDL")->trigger();
    EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
    EXPECT_EQ(f.List()->topLevelItemCount(), 0);
    EXPECT_EQ(f.List()->columnCount(), 0);
    ASSERT_TRUE(PumpUi([&] {
        const auto& lines = f.peer.Lines();
        return std::count(lines.begin(), lines.end(), std::string("GETBUDDY")) == 2;
    }));
    ASSERT_TRUE(f.Answer("dave", 1));
    EXPECT_EQ(f.Rows(), QStringLiteral("dave"));
    EXPECT_EQ(f.List()->columnCount(), 2);
    EXPECT_TRUE(f.Item("BuddyMnu_ReDL")->isEnabled());

    f.Click("LogInBtn");
    EXPECT_EQ(f.List()->topLevelItemCount(), 0);
    EXPECT_EQ(f.List()->columnCount(), 0);
    EXPECT_FALSE(f.Btn("PageBud")->Enabled());
    EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
}

}  // namespace
}  // namespace vantor::test
