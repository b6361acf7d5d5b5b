// SPDX-License-Identifier: MIT
// What the lobby window adds to a conversation: a log per lobby, the find bar, completion from
// the users list and recall of the lines sent.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "chat/chat_ui.h"
#include "chat_test_util.h"
#include "controls/find_bar.h"
#include "controls/send_box_keys.h"
#include "session/conversation_log.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using namespace Qt::Literals::StringLiterals;

class ChatLog : public test::ChatWindowTest {
protected:
    void SetUp() override {
        ChatWindowTest::SetUp();
        Open("Ann");
        QApplication::setActiveWindow(chat);
        ASSERT_TRUE(QTest::qWaitForWindowActive(chat));
        Feed(ChatUI::kList,
             {":s 327 Ann #Lob_12_0 4 0 1", ":s 327 Ann #Lob_12_1 2 0 1", ":s 323 Ann :End"});
        Feed(ChatUI::kJoined, {":Ann!u@h JOIN :0,0 #Lob_12_0"});
        Feed(ChatUI::kJoin,
             {":s 353 Ann = #Lob_12_0 :Ann @bob bonnie carl", ":s 366 Ann #Lob_12_0 :End"});
        box = chat->findChild<QLineEdit*>(u"SendBox"_s);
    }
    // The lobby's log, stamps taken off.
    static std::vector<std::string> Logged(const char* lobby) {
        QApplication::processEvents();  // a lobby's entries are written once the work is done
        std::vector<std::string> out;
        for (const std::string& line : ReadLogTail(LogPath(LogRoot(), "ann", lobby), 100))
            out.push_back(line.substr(22));
        return out;
    }

    QLineEdit* box = nullptr;
};

TEST_F(ChatLog, eachLobbyIsLoggedInItsOwnFile) {
    Feed(ChatUI::kMessage, {":bob!u@h PRIVMSG #Lob_12_0 :hello", ":bob!u@h PRIVMSG Ann :psst"});
    box->setText(u"hi all"_s);
    QTest::keyClick(box, Qt::Key_Return);
    // A move: the leaving notice belongs to the lobby left.
    auto* lobbies = chat->findChild<QTreeWidget*>(u"LobList"_s);
    lobbies->setCurrentItem(lobbies->topLevelItem(1));
    QTest::keyClick(lobbies, Qt::Key_Return);
    Feed(ChatUI::kLeft, {":Ann!u@h PART #Lob_12_0"});
    Feed(ChatUI::kJoined, {":Ann!u@h JOIN :0,0 #Lob_12_1"});
    Feed(ChatUI::kMessage, {":carl!u@h PRIVMSG #Lob_12_1 :welcome"});

    EXPECT_EQ(Logged("#Lob_12_0"),
              (std::vector<std::string>{"Joined channel Azure Barracks", "bob: hello", "bob: psst",
                                        "Ann: hi all", "Left channel Azure Barracks"}));
    EXPECT_EQ(Logged("#lob_12_1"),
              (std::vector<std::string>{"Joined channel Crimson Barracks", "carl: welcome"}));
}

TEST_F(ChatLog, tabCompletesFromTheUsersAndUpRecallsTheLastLine) {
    box->setFocus();
    QTest::keyClicks(box, u"bo"_s);
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(box->text(), u"bob: "_s);
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(box->text(), u"bonnie: "_s);
    QTest::keyClicks(box, u"hi"_s);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(link.Last(), "PRIVMSG #Lob_12_0 :bonnie: hi");
    EXPECT_TRUE(box->text().isEmpty());

    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->text(), u"bonnie: hi"_s);
    EXPECT_EQ(LobbyUsers(), (QStringList{u"bob"_s, u"Ann"_s, u"bonnie"_s, u"carl"_s}));
}

TEST_F(ChatLog, ctrlFOpensTheFindBarOverTheConversation) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F, Qt::ControlModifier);
    auto* bar = chat->findChild<FindBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    QTest::keyClicks(QApplication::focusWidget(), u"Barracks"_s);
    EXPECT_EQ(bar->MatchCount(), 1);
}

}  // namespace
}  // namespace vantor
