// SPDX-License-Identifier: MIT
// The buddy list as drawn: its view order and hiding, the lobby join, the tooltips, type-ahead.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QHelpEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QToolTip>
#include <cstring>

#include "buddy_view_fixture.h"
#include "chat/chat_ui.h"
#include "pages/page_win.h"
#include "reorder/reorder_ui.h"
#include "settings/settings_store.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

const std::vector<std::string> kPlaces = {"ann=3", "ben=1", "cy=0 #Lob_21_3,0", "dee=2",
                                          "eve=0 xxColdFront,12"};
constexpr const char* kList = "fay`ben`eve`dee`cy`ann";

TEST(BuddyView, theMenuChoosesTheOrderAndHidingWhichAreRememberedAndLeaveTheServicesOrder) {
    BuddyViewFixture f;
    ASSERT_TRUE(f.Ready(kList, kPlaces));
    EXPECT_EQ(f.Shown(), u"fay ben eve dee cy ann"_s);  // the service's, as before
    const struct {
        const char* item;
        const char* shown;
        int sort;
        int hide;
    } steps[] = {
        {"BuddyMnu_SortOnline", "eve cy ann dee fay ben", 1, 0},
        {"BuddyMnu_HideOffline", "eve cy ann dee fay", 1, 1},
        {"BuddyMnu_SortName", "ann cy dee eve fay", 2, 1},
        {"BuddyMnu_SortService", "fay eve dee cy ann", 0, 1},
        {"BuddyMnu_HideOffline", "fay ben eve dee cy ann", 0, 0},
        {"BuddyMnu_SortName", "ann ben cy dee eve fay", 2, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item);
        f.ShowMenuFor("dee");
        EXPECT_TRUE(f.Item(step.item) != nullptr);
        f.main->findChild<QAction*>(QString::fromLatin1(step.item))->trigger();
        EXPECT_EQ(f.Shown(), QString::fromLatin1(step.shown));
        EXPECT_EQ(GetSettingLong("BuddySort", -1), step.sort);
        EXPECT_EQ(GetSettingLong("BuddyHideOffline", -1), step.hide);
        EXPECT_EQ(f.List()->currentItem()->text(0), u"dee"_s);  // the row the menu was for
    }
    // The menu shows what is chosen.
    f.ShowMenuFor("ann");
    EXPECT_TRUE(f.main->findChild<QAction*>(u"BuddyMnu_SortName"_s)->isChecked());
    EXPECT_FALSE(f.main->findChild<QAction*>(u"BuddyMnu_HideOffline"_s)->isChecked());

    // A refresh of the row chosen asks for that buddy and fills that buddy's row.
    const std::size_t sent = f.peer.Lines().size();
    ASSERT_TRUE(f.Answer("fay", "2"));
    EXPECT_EQ(f.peer.Lines().at(sent), "FINDUSEREX fay");
    EXPECT_EQ(f.Cell("ann", 1), u"Logged In"_s);
    // Paging and deleting act on the buddy drawn there.
    f.Select("cy");
    f.Click("PageBud");
    ASSERT_EQ(f.main->WOL().Pages().Count(), 1u);
    EXPECT_EQ(f.main->WOL().Pages().PageWins().front()->FromNick(), "cy");
    f.main->WOL().CloseAllPageWin();
    f.Select("ben");
    f.boxes.replies = {true};
    f.Click("DelBud");
    ASSERT_TRUE(f.peer.WaitForLine("DELBUDDY ben"));
    EXPECT_EQ(f.Shown(), u"ann cy dee eve fay"_s);
    // The reorder window works on the service's order.
    f.Click("ReOrdBud");
    ASSERT_NE(f.main->ReordUI(), nullptr);
    QStringList order;
    for (int i = 0; i < f.main->ReordUI()->BuddyList()->count(); ++i)
        order << f.main->ReordUI()->BuddyList()->item(i)->text();
    EXPECT_EQ(order.join(u' '), u"fay eve dee cy ann"_s);
    f.Press(f.main->ReordUI(), "CancelBtn");
    EXPECT_FALSE(f.main->ChildOpen());

    // Remembered: the next list is drawn so at once.
    f.Item("BuddyMnu_ReDL")->trigger();
    ASSERT_TRUE(PumpUi([&] { return std::ranges::count(f.peer.Lines(), "GETBUDDY") == 2; }));
    f.peer.SendLine(":s 333 bob zed`Amy`bob");
    ASSERT_TRUE(PumpUi([&] { return f.List()->topLevelItemCount() == 3; }));
    EXPECT_EQ(f.Shown(), u"Amy bob zed"_s);
}

TEST(BuddyView, aBuddyWhoComesOnlineMovesUpAndTheListStaysWhereTheUserHasIt) {
    BuddyViewFixture f;
    SaveSettingLong("BuddySort", 1);
    std::string list;
    for (int i = 0; i < 40; ++i) list += (i ? "`b" : "b") + std::to_string(10 + i);
    ASSERT_TRUE(f.Ready(list, {"b20=1"}));  // below the others now
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    f.List()->setCurrentItem(f.ItemFor("b30"));
    f.List()->scrollToItem(f.ItemFor("b25"), QAbstractItemView::PositionAtTop);
    ASSERT_GT(f.List()->verticalScrollBar()->value(), 0);

    // Each goes to its place among those online, in the service's order.
    const struct {
        const char* nick;
        const char* words;
        const char* top;
    } comings[] = {
        {"b45", "3", "b45"}, {"b12", "3", "b12 b45"}, {"b20", "0 xxColdFront,12", "b12 b20 b45"}};
    for (const auto& c : comings) {
        SCOPED_TRACE(c.nick);
        ASSERT_TRUE(f.Answer(c.nick, c.words));
        EXPECT_EQ(f.Shown().left(int(std::strlen(c.top))), QString::fromLatin1(c.top));
    }
    // One that moves while the user looks: the rows in sight stay, and so does the selection.
    f.List()->setCurrentItem(f.ItemFor("b30"));
    f.List()->scrollToItem(f.ItemFor("b25"), QAbstractItemView::PositionAtTop);
    const QString before = f.List()->itemAt(2, 2)->text(0);
    f.main->Session().Buddies().RefreshRow(40);  // b49, through the session as a timer would
    ASSERT_TRUE(f.peer.WaitForLine("FINDUSEREX b49"));
    f.peer.SendLine(":s 398 bob 3");
    ASSERT_TRUE(PumpUi([&] { return f.Shown().startsWith(u"b12 b20 b45 b49"_s); }));
    EXPECT_EQ(f.List()->itemAt(2, 2)->text(0), before);
    EXPECT_EQ(f.List()->currentItem()->text(0), u"b30"_s);
    EXPECT_TRUE(f.ItemFor("b30")->isSelected());
}

TEST(BuddyView, joinOpensTheLobbyOfTheBuddyOrMovesTheOpenOneThere) {
    BuddyViewFixture f;
    ASSERT_TRUE(f.Ready(kList, kPlaces));
    QAction* join = f.Item("BuddyMnu_Join");
    // The lobby answers in the window's own receive passes.
    const auto sent = [&](const std::string& line) {
        return PumpUi([&] { return std::ranges::count(f.peer.Lines(), line) > 0; });
    };
    for (const char* other : {"ann", "ben", "dee", "eve", "fay"}) {
        f.ShowMenuFor(other);
        EXPECT_FALSE(join->isVisible()) << other;
    }
    f.ShowMenuFor("cy");
    EXPECT_TRUE(join->isVisible() && join->isEnabled());
    EXPECT_EQ(join->text(), u"&Join Iron Hand"_s);
    join->trigger();
    auto* chat = qobject_cast<ChatUI*>(f.main->Cht());
    ASSERT_NE(chat, nullptr);
    EXPECT_FALSE(f.Btn("ChatBtn")->Enabled());
    ASSERT_TRUE(sent("LIST 0 12"));
    f.ShowMenuFor("cy");
    EXPECT_FALSE(join->isEnabled());  // the list and the join are under way
    for (const char* line : {":s 321 bob Channel :Users Name", ":s 327 bob #Lob_12_0 4 0 1",
                             ":s 327 bob #Lob_12_3 9 0 1", ":s 323 bob :End of /LIST"})
        f.peer.SendLine(line);
    // Straight into Iron Hand: no JOIN of the first lobby.
    ASSERT_TRUE(sent("JOIN #Lob_12_3 plumvex4"));
    EXPECT_EQ(std::ranges::count(f.peer.Lines(), "JOIN #Lob_12_0 plumvex4"), 0);
    f.peer.SendLine(":bob!u@h JOIN :0,0 #Lob_12_3");
    f.peer.SendLine(":s 353 bob = #Lob_12_3 :bob carl");
    f.peer.SendLine(":s 366 bob #Lob_12_3 :End of names");
    ASSERT_TRUE(PumpUi([&] { return chat->ChatActive(); }));
    EXPECT_EQ(chat->CurrentLobby(), 2);
    f.ShowMenuFor("cy");
    EXPECT_TRUE(join->isEnabled());

    // dee goes to Azure Barracks: the open window leaves Iron Hand first.
    ASSERT_TRUE(f.Answer("dee", "0 #Lob_21_0,0"));
    f.ShowMenuFor("dee");
    EXPECT_EQ(join->text(), u"&Join Azure Barracks"_s);
    const std::size_t mark = f.peer.Lines().size();
    join->trigger();
    EXPECT_EQ(f.main->Cht(), chat);
    ASSERT_TRUE(sent("PART #Lob_12_3"));
    f.ShowMenuFor("dee");
    EXPECT_FALSE(join->isEnabled());
    f.peer.SendLine(":bob!u@h PART #Lob_12_3");
    ASSERT_TRUE(sent("JOIN #Lob_12_0 plumvex4"));
    EXPECT_EQ(std::vector<std::string>(f.peer.Lines().begin() + std::ptrdiff_t(mark),
                                       f.peer.Lines().end()),
              (std::vector<std::string>{"PART #Lob_12_3", "JOIN #Lob_12_0 plumvex4"}));

    // Switched off, the item is not offered.
    SaveSettingLong("BuddyJoin", 0);
    f.ShowMenuFor("dee");
    EXPECT_FALSE(join->isVisible());
}

TEST(BuddyView, aRowsTooltipSaysWhereTheBuddyIsAndWhenThatWasLookedUp) {
    BuddyViewFixture f;
    std::int64_t now = QDateTime(QDate(2024, 5, 6), QTime(12, 4)).toSecsSinceEpoch();
    f.main->Session().Buddies().SetWallClock([&] { return now; });
    ASSERT_TRUE(f.Ready("ann`cy", {"cy=0 #Lob_21_3,0"}));
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    now += 3 * 60 + 20;
    const auto tip = [&](const char* nick, int column) {
        QTreeWidgetItem* item = f.ItemFor(nick);
        const QRect row = f.List()->visualItemRect(item);
        const int x = f.List()->header()->sectionViewportPosition(column) + 4;
        const QPoint at(x, row.center().y());
        QHelpEvent help(QEvent::ToolTip, at, f.List()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(f.List()->viewport(), &help);
        // Refused (no tip) is the event ignored; a tip shown is the one on the screen.
        return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tip("cy", 1), u"In the chat room Iron Hand (looked up 12:04, 3 minutes ago)"_s);
    EXPECT_EQ(tip("cy", 0), u"In the chat room Iron Hand (looked up 12:04, 3 minutes ago)"_s);
    EXPECT_EQ(tip("ann", 1), u"Location not known (not looked up yet)"_s);
    SaveSettingLong("BuddyIcons", 0);
    f.Item("BuddyMnu_ReDL")->trigger();  // a new list reads the setting
    ASSERT_TRUE(PumpUi([&] { return f.peer.Lines().back() == "GETBUDDY"; }));
    f.peer.SendLine(":s 333 bob ann`cy");
    ASSERT_TRUE(PumpUi([&] { return f.List()->topLevelItemCount() == 2; }));
    EXPECT_EQ(tip("cy", 1), QString());
}

TEST(BuddyView, typedLettersSelectTheFirstBuddyDrawnWhoseNicknameStartsWithThem) {
    BuddyViewFixture f;
    SaveSettingLong("BuddySort", 2);
    SaveSettingLong("BuddyHideOffline", 1);
    ASSERT_TRUE(f.Ready("dave`Cathy`carol`Bob`alice`cal", {"cal=1"}));
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    f.List()->setFocus();
    const int interval = QApplication::keyboardInputInterval();
    // The typing interval decides whether a key goes on with the letters before it.
    const auto type = [&](const char* word, bool together) {
        for (int i = 0; word[i] != 0; ++i) {
            QApplication::setKeyboardInputInterval(i == 0 || !together ? 0 : 60000);
            QTest::keyClick(f.List(), word[i]);
        }
    };
    const struct {
        const char* typed;
        bool together;  // typed as one word, or each key afresh
        const char* selected;
    } cases[] = {
        {"c", true, "carol"},  // cal, before it, is not logged in and hidden
        {"ca", true, "carol"},  {"CAT", true, "Cathy"}, {"b", true, "Bob"},
        {"cal", true, "carol"},  // no shown buddy goes on so, nor one starting with "l"
        {"dc", false, "carol"}, {"x", true, "carol"},   {"A", true, "alice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        type(c.typed, c.together);
        ASSERT_NE(f.List()->currentItem(), nullptr);
        EXPECT_EQ(f.List()->currentItem()->text(0), QString::fromLatin1(c.selected));
    }
    QApplication::setKeyboardInputInterval(interval);
    QTest::keyClick(f.List(), Qt::Key_Return);
    ASSERT_EQ(f.main->WOL().Pages().Count(), 1u);
    EXPECT_EQ(f.main->WOL().Pages().PageWins().front()->FromNick(), "alice");
}

}  // namespace
}  // namespace vantor::test
