// SPDX-License-Identifier: MIT
// The lobby window and the ignore list: the users list's menu, the marked entry, the note.
#include <gtest/gtest.h>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include "chat_test_util.h"
#include "controls/theme.h"
#include "pages/ignore_list.h"
#include "session/conversation_log.h"

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

class ChatIgnoring : public test::ChatWindowTest {
protected:
    void SetUp() override {
        ChatWindowTest::SetUp();
        Open("bob");
        nicks = chat->findChild<QListView*>(u"NickList"_s);
        menu = chat->findChild<QMenu*>(u"NickMnu"_s);
        status = chat->findChild<QLabel*>(u"StatusLabel"_s);
        Feed(Lobby::kList,
             {":s 327 bob #Lob_12_0 4 0 1", ":s 327 bob #Lob_12_1 2 0 1", ":s 323 bob :End"});
        Feed(Lobby::kJoined, {":bob!u@h JOIN :0,0 #Lob_12_0"});
        Feed(Lobby::kJoin, {":s 353 bob = #Lob_12_0 :carl @op bob", ":s 366 bob #Lob_12_0 :End"});
        chat->CatchUpLists();
    }
    void TearDown() override {
        ChatWindowTest::TearDown();
        Ignores().Assign({});
    }

    QPoint RowCentre(int row) const {
        return nicks->visualRect(nicks->model()->index(row, 0)).center();
    }
    // The right button on a row, as the window system hands it over: the press, the menu event.
    void RightClick(int row) {
        menu->hide();
        QTest::mousePress(nicks->viewport(), Qt::RightButton, {}, RowCentre(row));
        QContextMenuEvent event(QContextMenuEvent::Mouse, RowCentre(row),
                                nicks->viewport()->mapToGlobal(RowCentre(row)));
        QApplication::sendEvent(nicks->viewport(), &event);
        QTest::mouseRelease(nicks->viewport(), Qt::RightButton, {}, RowCentre(row));
    }
    QString Offered() const {
        return menu->isVisible() ? menu->actions().at(0)->text() : QString();
    }
    QVariant Row(int row, int role) const {
        chat->CatchUpLists();
        return nicks->model()->index(row, 0).data(role);
    }
    QString History() const {
        chat->CatchUpHistory();
        return chat->findChild<QTextBrowser*>(u"ChatHistory"_s)->toPlainText();
    }

    QListView* nicks = nullptr;
    QMenu* menu = nullptr;
    QLabel* status = nullptr;
};

// Rows: op, carl, bob (the user). The right button offers to ignore or to stop, and chooses no
// recipient; the left one still does. An ignored user is listed grey, described "ignored".
TEST_F(ChatIgnoring, theUsersMenuIgnoresAndStopsAndTheEntryIsMarked) {
    ASSERT_NE(menu, nullptr);
    RightClick(1);
    EXPECT_EQ(Offered(), u"Ignore carl"_s);
    EXPECT_EQ(menu->actions().at(0)->objectName(), u"NickMnu_Ignore"_s);
    EXPECT_FALSE(Row(1, Qt::FontRole).value<QFont>().bold());
    menu->actions().at(0)->trigger();
    EXPECT_TRUE(Ignores().Contains("carl"));

    const struct {
        int row;
        QColor colour;
        QVariant description;
    } marked[] = {
        {0, theme::kWhite, u"operator"_s},
        {1, theme::kGrey, u"ignored"_s},
        {2, theme::kOrange, QVariant()},
    };
    for (const auto& m : marked) {
        SCOPED_TRACE(m.row);
        EXPECT_EQ(Row(m.row, Qt::ForegroundRole).value<QBrush>().color(), m.colour);
        EXPECT_EQ(Row(m.row, Qt::AccessibleDescriptionRole), m.description);
    }
    RightClick(0);
    menu->actions().at(0)->trigger();
    EXPECT_EQ(Row(0, Qt::AccessibleDescriptionRole), QVariant(u"operator, ignored"_s));

    RightClick(1);
    EXPECT_EQ(Offered(), u"Stop ignoring carl"_s);
    menu->actions().at(0)->trigger();
    EXPECT_FALSE(Ignores().Contains("carl"));
    EXPECT_EQ(Row(1, Qt::ForegroundRole).value<QBrush>().color(), theme::kOrange);
    EXPECT_EQ(Row(1, Qt::AccessibleDescriptionRole), QVariant());

    RightClick(2);  // the user: nothing to offer
    EXPECT_EQ(Offered(), QString());

    // The menu key opens it for the current row; the left button keeps choosing recipients.
    nicks->setFocus(Qt::TabFocusReason);
    nicks->setCurrentIndex(nicks->model()->index(1, 0));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(1, 1),
                          nicks->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(nicks, &key);
    EXPECT_EQ(Offered(), u"Ignore carl"_s);
    menu->hide();
    QTest::mouseClick(nicks->viewport(), Qt::LeftButton, {}, RowCentre(1));
    EXPECT_TRUE(Row(1, Qt::FontRole).value<QFont>().bold());
}

// Lines, an emote and a private message from carl, ignored: no entry and nothing in the log,
// and one note in the status line once the lines at hand are done; more of his lines in the
// same visit earn none.
TEST_F(ChatIgnoring, hiddenLinesLeaveNoEntryOrLogAndEarnOneStatusNote) {
    Ignores().Add("CARL");
    QApplication::processEvents();
    const QString before = History();
    Feed(Lobby::kMessage, {":carl!u@h PRIVMSG #Lob_12_0 :one",
                           ":carl!u@h PRIVMSG #Lob_12_0 :\x01"
                           "ACTIONwaves\x01",
                           ":Carl!u@h PRIVMSG bob :psst"});
    EXPECT_EQ(status->text(), u"Chat is active."_s);
    QApplication::processEvents();
    EXPECT_EQ(status->text(), u"3 lines from carl were hidden"_s);
    EXPECT_EQ(History(), before);

    Feed(Lobby::kMessage, {":op!u@h PRIVMSG #Lob_12_0 :carl, quiet"});
    auto* lobbies = chat->findChild<QTreeWidget*>(u"LobList"_s);
    lobbies->setCurrentItem(lobbies->topLevelItem(1));
    QTest::keyClick(lobbies, Qt::Key_Return);
    Feed(Lobby::kMessage, {":carl!u@h PRIVMSG #Lob_12_0 :two"});
    QApplication::processEvents();
    EXPECT_EQ(status->text(), u"Leaving channel Azure Barracks..."_s);
    EXPECT_EQ(History(), before + u"\nop: carl, quiet"_s);

    std::vector<std::string> logged;
    for (const std::string& line : ReadLogTail(LogPath(LogRoot(), "bob", "#Lob_12_0"), 100))
        logged.push_back(line.substr(22));  // without the stamp
    EXPECT_EQ(logged,
              (std::vector<std::string>{"Joined channel Azure Barracks", "op: carl, quiet"}));
}

}  // namespace
}  // namespace vantor
