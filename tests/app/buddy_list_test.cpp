// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>
#include <algorithm>

#include "app_fixture.h"
#include "pages/page_win.h"
#include "support/local_server.h"

namespace vantor::test {
namespace {

// A main window logged on as bob whose buddy list request has reached the peer.
struct BuddyFixture : MainWindowFixture {
    struct Shown {
        QString refreshCaption;
        QPoint globalPos;
    };
    std::vector<Shown> menus;

    BuddyFixture() {
        main->SetMenuShower([this](QMenu& menu, const QPoint& pos) {
            menus.push_back({Item("BuddyMnu_RefUsr")->text(), pos});
            EXPECT_EQ(&menu, Find<QMenu>("BuddyMnu"));
        });
    }
    bool Ready() { return LogOnAsBob() && peer.WaitForLine("GETBUDDY"); }

    QTreeWidget* List() const { return Find<QTreeWidget>("BuddyList"); }
    QAction* Item(const char* name) const {
        return Find<QMenu>("BuddyMnu")->findChild<QAction*>(QString::fromLatin1(name));
    }

    // Answers the list request and waits until the rows are in.
    bool Answer(const std::string& list, int rows) {
        peer.SendLine(":s 333 bob" + (list.empty() ? std::string() : " " + list));
        return PumpUi(
            [&] { return Btn("PageBud")->Enabled() && List()->topLevelItemCount() == rows; });
    }
    QStringList Rows() const {
        QStringList names;
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            names << List()->topLevelItem(i)->text(0);
        return names;
    }
    QPoint RowCentre(int row) const {
        return List()->visualItemRect(List()->topLevelItem(row)).center();
    }
    // A widget double-click from QTest comes without the press an item view looks for.
    void DoubleClick(const QPoint& pos) {
        QTest::mousePress(List()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseRelease(List()->viewport(), Qt::LeftButton, {}, pos);
    }
    int GetBuddyCount() {
        const auto& lines = peer.Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), std::string("GETBUDDY")));
    }
};

TEST(BuddyList, answerFillsOneRowPerNicknameUnderColumnsChosenByTheServerSetting) {
    struct Case {
        const char* list;
        int scanOtherServers;
        const char* rows;  // joined by "|"
        QStringList headers;
    };
    const QStringList two{QStringLiteral("Buddy NickName"), QStringLiteral("Location")};
    const QStringList four{QStringLiteral("Buddy NickName"), QStringLiteral("USA Server"),
                           QStringLiteral("European Server"), QStringLiteral("Pacific Server")};
    for (const Case& c :
         {Case{"alice`bob2`carol", 0, "alice|bob2|carol", two}, Case{"Solo", 2, "Solo", two},
          Case{"alice`carol", 1, "alice|carol", four}, Case{"", 0, "", two}}) {
        SCOPED_TRACE(c.list);
        BuddyFixture f;
        SaveSettingLong("ScanBuddyOtherServer", c.scanOtherServers);
        ASSERT_TRUE(f.Ready());
        EXPECT_EQ(f.List()->columnCount(), 0);
        EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
        const QString rows = QString::fromLatin1(c.rows);
        ASSERT_TRUE(f.Answer(
            c.list, rows.isEmpty() ? 0 : static_cast<int>(rows.count(QLatin1Char('|'))) + 1));

        EXPECT_EQ(f.Rows().join(QLatin1Char('|')), rows);
        ASSERT_EQ(f.List()->columnCount(), c.headers.size());
        for (int col = 0; col < c.headers.size(); ++col) {
            EXPECT_EQ(f.List()->headerItem()->text(col), c.headers[col]);
            for (int row = 0; col > 0 && row < f.List()->topLevelItemCount(); ++row)
                EXPECT_EQ(f.List()->topLevelItem(row)->text(col), QStringLiteral("Unknown"));
        }
        EXPECT_EQ(f.List()->columnWidth(0), 133);
        if (c.headers.size() > 2) {
            EXPECT_EQ(f.List()->columnWidth(1), 146);
        }
        EXPECT_EQ(f.List()->currentItem(), f.List()->topLevelItem(0));
        EXPECT_TRUE(f.Item("BuddyMnu_ReDL")->isEnabled());
        EXPECT_FALSE(f.Timer("RefBuddy")->isActive());
    }
}

TEST(BuddyList, fillingStartsTheRefreshTimerOnlyWithAnInterval) {
    BuddyFixture f;
    SaveSettingLong("AutoBuddyRefreshInt", 5);
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(f.Answer("alice", 1));
    EXPECT_TRUE(f.Timer("RefBuddy")->isActive());
    EXPECT_EQ(f.main->RefreshMinutes(), 0);
    f.Click("LogInBtn");
    EXPECT_FALSE(f.Timer("RefBuddy")->isActive());
}

TEST(BuddyList, logOffWhileFillingStopsTheFillingOnTheEmptiedList) {
    BuddyFixture f;
    ASSERT_TRUE(f.Ready());
    // The first row lets pending events run; a log-off click is among them.
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
    EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
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
    EXPECT_EQ(pages.Count(), 1u);

    f.DoubleClick(f.RowCentre(1));
    EXPECT_NE(pages.Find("Carol"), nullptr);
    EXPECT_EQ(pages.PageWins().back()->FromNick(), "Carol");  // as the row has it

    f.List()->setFocus();
    QTest::keyClick(f.List(), Qt::Key_Down);
    QTest::keyClick(f.List(), Qt::Key_Return);
    EXPECT_NE(pages.Find("dave"), nullptr);
    EXPECT_EQ(pages.Count(), 3u);

    f.main->WOL().CloseAllPageWin();
    f.List()->setCurrentItem(f.List()->topLevelItem(0));
    f.Item("BuddyMnu_Page")->trigger();
    EXPECT_NE(pages.Find("alice"), nullptr);

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
    EXPECT_TRUE(f.menus.empty());

    QTest::mouseClick(viewport, Qt::RightButton, {}, f.RowCentre(1));
    ASSERT_EQ(f.menus.size(), 1u);
    EXPECT_EQ(f.menus[0].refreshCaption, QStringLiteral("&Refresh location for \"carol\""));
    EXPECT_EQ(f.menus[0].globalPos, viewport->mapToGlobal(f.RowCentre(1)));
    EXPECT_EQ(f.List()->selectedItems().value(0), f.List()->topLevelItem(1));

    // The keyboard's menu key offers it for the selected row.
    f.List()->setCurrentItem(f.List()->topLevelItem(0));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
    QApplication::sendEvent(f.List(), &key);
    ASSERT_EQ(f.menus.size(), 2u);
    EXPECT_EQ(f.menus[1].refreshCaption, QStringLiteral("&Refresh location for \"alice\""));

    QStringList items;
    for (QAction* a : f.Find<QMenu>("BuddyMnu")->actions())
        items << (a->isSeparator() ? QStringLiteral("-")
                                   : a->objectName() + QLatin1Char('=') + a->text() +
                                         (a->isEnabled() ? QString() : QStringLiteral(" (off)")));
    EXPECT_EQ(
        items,
        (QStringList{
            QStringLiteral("BuddyMnu_Page=&Page"), QStringLiteral("BuddyMnu_Del=&Delete (off)"),
            QStringLiteral("-"),
            QStringLiteral("BuddyMnu_RefUsr=&Refresh location for \"alice\" (off)"),
            QStringLiteral("-"), QStringLiteral("BuddyMnu_ReOrd=Re&order buddy list (off)"),
            QStringLiteral("-"), QStringLiteral("BuddyMnu_Ref=Refresh all user locations (off)"),
            QStringLiteral("BuddyMnu_ReDL=Re-download buddy list")}));
}

TEST(BuddyList, reDownloadEmptiesTheListAsksAgainAndRefillsAndLogOffEmptiesIt) {
    BuddyFixture f;
    ASSERT_TRUE(f.Ready());
    ASSERT_TRUE(f.Answer("alice`carol", 2));
    ASSERT_EQ(f.GetBuddyCount(), 1);

    f.Item("BuddyMnu_ReDL")->trigger();
    EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
    EXPECT_EQ(f.List()->topLevelItemCount(), 0);
    EXPECT_EQ(f.List()->columnCount(), 0);
    ASSERT_TRUE(PumpUi([&] { return f.GetBuddyCount() == 2; }));

    ASSERT_TRUE(f.Answer("dave", 1));
    EXPECT_EQ(f.Rows(), QStringList{QStringLiteral("dave")});
    EXPECT_EQ(f.List()->columnCount(), 2);
    EXPECT_TRUE(f.Item("BuddyMnu_ReDL")->isEnabled());

    f.Click("LogInBtn");
    EXPECT_EQ(f.List()->topLevelItemCount(), 0);
    EXPECT_EQ(f.List()->columnCount(), 0);
    EXPECT_FALSE(f.Btn("PageBud")->Enabled());
    EXPECT_FALSE(f.Item("BuddyMnu_ReDL")->isEnabled());
}

TEST(BuddyList, demoAccountOnTheLocalServiceListsItsCastAndPagesEcho) {
    LocalServer server{/*demo=*/true};
    ASSERT_TRUE(server.Ok());
    ScopedRegistry registry;
    SaveSettingString("ServerHost", "127.0.0.1");
    SaveSettingLong("ServerPort", server.BasePort());
    RecordingBoxes boxes;
    VantorChatUI main;
    main.SetMessageBoxes(&boxes);
    main.SetLogOnPrompt([](QWidget*, const QString&) {
        return LogOnAnswer{false, QStringLiteral("demo"), QStringLiteral("demo")};
    });
    QTest::mouseClick(main.findChild<VantorBtn*>(QStringLiteral("LogInBtn")), Qt::LeftButton);
    auto* list = main.findChild<QTreeWidget*>(QStringLiteral("BuddyList"));
    ASSERT_TRUE(PumpUi([&] { return list->topLevelItemCount() == 8; }));
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
    EXPECT_EQ(rows.join(QLatin1Char('`')),
              QStringLiteral("echo`marla`dozer`rover`tanker`shade`warden`guest"));

    QTest::mouseClick(main.findChild<VantorBtn*>(QStringLiteral("PageBud")), Qt::LeftButton);
    EXPECT_NE(main.WOL().Pages().Find("echo"), nullptr);
    main.SetMessageBoxes(nullptr);
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace vantor::test
