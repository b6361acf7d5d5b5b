// SPDX-License-Identifier: MIT
#include "chat/chat_ui.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include "chat_test_util.h"
#include "controls/find_bar.h"
#include "controls/send_box_keys.h"
#include "controls/vantor_btn.h"
#include "session/conversation_log.h"

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

const QColor kOrange(255, 128, 0);  // the in and out colours, and the lists' own
const QColor kPrivate(0, 128, 255);
const QColor kEmote(0, 150, 0);
const QColor kNotify(150, 0, 150);
const QColor kWhite(255, 255, 255);

class ChatWindow : public test::ChatWindowTest {
protected:
    void SetUp() override {
        ChatWindowTest::SetUp();
        Open();
    }
    void Open() {
        ChatWindowTest::Open("bob");
        lobbies = chat->findChild<QTreeWidget*>(u"LobList"_s);
        nicks = chat->findChild<QListView*>(u"NickList"_s);
        history = chat->findChild<QTextBrowser*>(u"ChatHistory"_s);
        sendBox = chat->findChild<QLineEdit*>(u"SendBox"_s);
        status = chat->findChild<QLabel*>(u"StatusLabel"_s);
    }
    void ListLobbies() {
        Feed(Lobby::kList, {":s 321 bob Channel :Users Name", ":s 327 bob x_12_3 17 0 388",
                            ":s 327 bob #L_13_0 4 0 1", ":s 327 bob #L_12_0 4 0 1",
                            ":s 327 bob #L_12_5 2 0 1", ":s 323 bob :End of /LIST"});
    }
    void EnterLobby() {
        ListLobbies();
        Feed(Lobby::kJoined, {":bob!u@h JOIN :0,0 x_12_3"});
        Feed(Lobby::kJoin, {":s 353 bob = x_12_3 :carl @op bob,0,0", ":s 366 bob x_12_3 :End"});
    }
    VantorBtn* Button(const QString& name) { return chat->findChild<VantorBtn*>(name); }
    template <class List, class Item>
    void Click(List* list, Item* item) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }
    void Click(QListView* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }
    // A users list row as drawn.
    QVariant Nick(int row, int role) const {
        chat->CatchUpLists();
        return nicks->model()->index(row, 0).data(role);
    }
    QColor NickColour(int row) const {
        return Nick(row, Qt::ForegroundRole).value<QBrush>().color();
    }
    bool NickBold(int row) const { return Nick(row, Qt::FontRole).value<QFont>().bold(); }
    QStringList Nicks() const { return test::NickList(*chat); }
    QString Count(int row) const {
        chat->CatchUpLists();
        return lobbies->topLevelItem(row)->text(1);
    }
    // The box shows entries a moment later; these bring it up to date first.
    QTextDocument* Doc() const {
        chat->CatchUpHistory();
        return history->document();
    }
    QString Last() const { return Doc()->lastBlock().text(); }
    QColor LastColour() const { return test::EntryColour(Doc()->lastBlock()); }
    void ExpectLast(const QString& text, const QColor& colour) const {
        EXPECT_EQ(Last(), text);
        EXPECT_EQ(LastColour(), colour);
    }

    QTreeWidget* lobbies = nullptr;
    QListView* nicks = nullptr;
    QTextBrowser* history = nullptr;
    QLineEdit* sendBox = nullptr;
    QLabel* status = nullptr;
};

TEST_F(ChatWindow, listsLobbiesByNameAndJoinsTheConfiguredOne) {
    settings.numbers["ChatLobbyEvents"] = 0;  // the four intercepts alone
    EXPECT_EQ(link->Last(), "LIST 0 12");
    ListLobbies();
    ASSERT_EQ(lobbies->topLevelItemCount(), 3);  // the "_13_" channel is no lobby
    QTreeWidgetItem* iron = lobbies->topLevelItem(0);
    EXPECT_EQ(iron->text(0) + iron->text(1), u"Iron Hand(17)"_s);
    // "ChatInitialLobby" 0 is the first row.
    EXPECT_EQ(chat->CurrentLobby(), 1);
    EXPECT_TRUE(iron->font(0).bold());
    EXPECT_EQ(iron->foreground(0).color(), kWhite);
    EXPECT_EQ(status->text(), u"Joining channel Iron Hand..."_s);
    EXPECT_EQ(link->Last(), "JOIN x_12_3 plumvex4");
    EXPECT_EQ(link->intercepts,
              (std::map<std::string, int, std::less<>>{{"JOIN", Lobby::kJoined},
                                                       {"PART", Lobby::kLeft},
                                                       {"PRIVMSG", Lobby::kMessage},
                                                       {"QUIT", Lobby::kQuit}}));
}

TEST_F(ChatWindow, initialLobbyThatIsNotListedFallsBackToTheFirst) {
    settings.numbers["ChatInitialLobby"] = 7;
    ListLobbies();
    EXPECT_EQ(chat->CurrentLobby(), 1);
    EXPECT_EQ(link->Last(), "JOIN x_12_3 plumvex4");
    settings.numbers["ChatInitialLobby"] = 0x7FFFFFFF;  // the largest value the setting holds
    chat->ConnectChat();
    ListLobbies();
    EXPECT_EQ(chat->CurrentLobby(), 1);

    // No lobby at all: nothing to join, nothing to leave.
    *link = {};
    chat->ConnectChat();
    Feed(Lobby::kList, {":s 327 bob x_12_x 4", ":s 323 bob :End"});
    EXPECT_EQ(chat->CurrentLobby(), 0);
    chat->close();
    EXPECT_EQ(link->sent.size(), 1u);  // the LIST
}

TEST_F(ChatWindow, ownJoinActivatesChatAndNamesPutOperatorsOnTop) {
    ListLobbies();
    EXPECT_FALSE(sendBox->isEnabled() || Button(u"SendBtn"_s)->Enabled());
    EnterLobby();
    EXPECT_EQ(Doc()->findBlockByNumber(1).text(), u"Joined channel Iron Hand"_s);
    EXPECT_EQ(test::EntryColour(Doc()->findBlockByNumber(1)), kNotify);
    EXPECT_TRUE(chat->ChatActive());
    EXPECT_TRUE(sendBox->isEnabled() && Button(u"SendBtn"_s)->Enabled() &&
                Button(u"EmoteBtn"_s)->Enabled());
    EXPECT_EQ(status->text(), u"Chat is active."_s);

    EXPECT_EQ(Nicks(), (QStringList{u"op"_s, u"carl"_s, u"bob"_s}));
    EXPECT_EQ(NickColour(0), kWhite);
    EXPECT_EQ(Count(0), u"(3)"_s);
}

TEST_F(ChatWindow, incomingEntriesAreColouredAndNeverMarkup) {
    EnterLobby();
    Feed(Lobby::kMessage, {":ann!u@h PRIVMSG x_12_3 :hello all"});
    ExpectLast(u"ann: hello all"_s, kOrange);
    Feed(Lobby::kMessage, {":ann!u@h PRIVMSG x_12_3 :\x01"
                           "ACTIONwaves\x01"});
    ExpectLast(u"ann waves"_s, kEmote);
    Feed(Lobby::kMessage, {":ann!u@h PRIVMSG BOB :psst"});
    ExpectLast(u"ann: psst"_s, kPrivate);

    Feed(Lobby::kMessage, {":ann!u@h PRIVMSG x_12_3 :<b>x</b> www.example.org/a?b=1, Bob, bobby"});
    EXPECT_EQ(Last(), u"ann: <b>x</b> www.example.org/a?b=1, Bob, bobby"_s);
    QStringList links, bold;
    for (auto it = Doc()->lastBlock().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (f.isAnchor()) links << f.anchorHref();
        if (f.fontWeight() == QFont::Bold) bold << it.fragment().text();
    }
    EXPECT_EQ(links, QStringList{u"http://www.example.org/a?b=1"_s});
    EXPECT_EQ(bold, QStringList{u"Bob"_s});

    // A lone line break inside a message makes no line of its own: it could pass for someone
    // else's, and the cap counts one line per entry.
    const int blocks = Doc()->blockCount();
    Feed(Lobby::kMessage, {":ann!u@h PRIVMSG x_12_3 :one\ncarl: two\rthree"});
    EXPECT_EQ(Doc()->blockCount(), blocks + 1);
    EXPECT_EQ(Last(), u"ann: one carl: two three"_s);

    // A line the user sends while an incoming one is being shown comes after it.
    sendBox->setText(u"mine"_s);
    QTimer::singleShot(0, chat.data(),
                       [this] { QTest::mouseClick(Button(u"SendBtn"_s), Qt::LeftButton); });
    Feed(Lobby::kMessage, {":ann!u@h PRIVMSG x_12_3 :first"});
    EXPECT_EQ(Last(), u"bob: mine"_s);
    EXPECT_EQ(Doc()->lastBlock().previous().text(), u"ann: first"_s);
}

// An intercepted line handled while a flood's entry lets events run lands right after that entry,
// whether it was posted (handled within the next append) or came from a timer (handled at one of
// the flood's event steps).
TEST_F(ChatWindow, lineArrivingDuringAFloodLandsAfterTheEntryBeingAppended) {
    EnterLobby();
    for (const int delayMs : {0, 1}) {
        SCOPED_TRACE(delayMs);
        int fed = 0;
        int during = -1;
        QTimer::singleShot(delayMs, chat.data(), [&] {
            during = fed;
            Feed(Lobby::kMessage, {":carl!u@h PRIVMSG x_12_3 :meanwhile"});
        });
        for (fed = 0; during < 0 && fed < 5000000; ++fed) {
            Feed(Lobby::kMessage, {":ann!u@h PRIVMSG x_12_3 :n" + std::to_string(fed)});
        }
        ASSERT_GE(during, 0);
        if (delayMs == 0) {
            EXPECT_EQ(during, 0);  // posted: handled within the next append
        }
        EXPECT_EQ(Last(), u"carl: meanwhile"_s);
        EXPECT_EQ(Doc()->lastBlock().previous().text(), u"ann: n"_s + QString::number(during));
    }
}

// A flood leaves the box, text and colours, exactly as entries shown one at a time would.
TEST_F(ChatWindow, floodLeavesTheBoxAsEntriesShownOneByOne) {
    ChatUI reference;
    reference.SetWOL(link);
    reference.show();
    reference.SetUser("bob");
    reference.ConnectChat();
    std::vector<std::pair<int, std::string>> lines{
        {Lobby::kList, ":s 327 bob x_12_3 17 0 388"},
        {Lobby::kList, ":s 323 bob :End of /LIST"},
        {Lobby::kJoined, ":bob!u@h JOIN :0,0 x_12_3"},
        {Lobby::kJoin, ":s 353 bob = x_12_3 :carl @op bob,0,0"},
        {Lobby::kJoin, ":s 366 bob x_12_3 :End"}};
    for (int i = 0; i < 700; ++i) {
        const std::string n = std::to_string(i);
        const std::pair<int, std::string> kinds[] = {
            {Lobby::kMessage,
             ":ann!u@h PRIVMSG x_12_3 :\x01"
             "ACTIONwaves " +
                 n + "\x01"},
            {Lobby::kMessage, ":ann!u@h PRIVMSG bob :psst " + n},
            {Lobby::kMessage, ":ann!u@h PRIVMSG x_12_3 :hi bob, www.example.org/" + n},
            {Lobby::kJoined, ":dave" + n + "!u@h JOIN :0,0 x_12_3"},
            {Lobby::kLeft, ":dave" + std::to_string(i - 1) + "!u@h PART x_12_3"},
            {Lobby::kMessage,
             ":carl!u@h PRIVMSG x_12_3 :" + std::string(std::size_t(i % 300), 'a')},
        };
        lines.push_back(kinds[std::min(i % 7, 5)]);
    }
    for (const auto& [param, line] : lines) {
        chat->Core().ChatCB_Callback(line, Delivery::Data, Param{param});
        reference.Core().ChatCB_Callback(line, Delivery::Data, Param{param});
        reference.CatchUpHistory();
    }
    auto* shown = reference.findChild<QTextBrowser*>(u"ChatHistory"_s);
    EXPECT_GT(Doc()->blockCount(), 20);
    EXPECT_EQ(Doc()->toHtml(), shown->document()->toHtml());
    EXPECT_EQ(history->verticalScrollBar()->value(), shown->verticalScrollBar()->value());
    EXPECT_EQ(history->grab().toImage(), shown->grab().toImage());
}

TEST_F(ChatWindow, sendingGoesToTheLobbyOrToTheBoldRecipients) {
    EnterLobby();
    const size_t before = link->sent.size();
    QTest::keyClick(sendBox, Qt::Key_Return);  // empty: nothing
    EXPECT_EQ(link->sent.size(), before);

    QTest::keyClicks(sendBox, u"hello there"_s);
    QTest::keyClick(sendBox, Qt::Key_Return);
    EXPECT_EQ(link->Last(), "PRIVMSG x_12_3 :hello there");
    EXPECT_EQ(Last(), u"bob: hello there"_s);
    EXPECT_TRUE(sendBox->text().isEmpty());
    sendBox->setText(u"waves"_s);
    QTest::mouseClick(Button(u"EmoteBtn"_s), Qt::LeftButton);
    EXPECT_EQ(link->Last(),
              "PRIVMSG x_12_3 :\x01"
              "ACTIONwaves\x01");
    ExpectLast(u"bob waves"_s, kEmote);

    // Clicks toggle recipients: bold and white; an operator is white anyway.
    const int carl = 1;
    Click(nicks, 0);
    Click(nicks, carl);
    EXPECT_TRUE(NickBold(carl) && nicks->selectionModel()->selectedIndexes().isEmpty());
    EXPECT_EQ(NickColour(carl), kWhite);
    sendBox->setText(u"secret"_s);
    QTest::mouseClick(Button(u"SendBtn"_s), Qt::LeftButton);
    EXPECT_EQ(link->Last(), "PRIVMSG op,carl :secret");
    ExpectLast(u"bob: secret"_s, kPrivate);
    sendBox->setText(u"nods"_s);
    QTest::mouseClick(Button(u"EmoteBtn"_s), Qt::LeftButton);
    EXPECT_EQ(link->Last(),
              "PRIVMSG op,carl :\x01"
              "ACTIONnods\x01");
    EXPECT_EQ(LastColour(), kPrivate);

    Click(nicks, carl);
    Click(nicks, 0);
    EXPECT_FALSE(NickBold(carl));
    EXPECT_EQ(NickColour(carl), kOrange);
    EXPECT_EQ(NickColour(0), kWhite);
}

TEST_F(ChatWindow, movingLeavesThenJoinsOnTheOwnPart) {
    EnterLobby();
    const size_t before = link->sent.size();
    Click(lobbies, lobbies->topLevelItem(0));  // the current lobby
    EXPECT_EQ(link->sent.size(), before);
    EXPECT_TRUE(chat->ChatActive());

    Click(lobbies, lobbies->topLevelItem(2));
    EXPECT_EQ(link->Last(), "PART x_12_3");
    EXPECT_EQ(chat->PreviousLobby() * 10 + chat->CurrentLobby(), 13);
    EXPECT_EQ(status->text(), u"Leaving channel Iron Hand..."_s);
    EXPECT_EQ(lobbies->topLevelItem(0)->foreground(0).color(), kOrange);
    EXPECT_TRUE(lobbies->topLevelItem(2)->font(0).bold());
    Click(lobbies, lobbies->topLevelItem(1));  // while a move is under way
    EXPECT_EQ(chat->CurrentLobby(), 3);

    Feed(Lobby::kLeft, {":bob!u@h PART x_12_3"});
    ExpectLast(u"Left channel Iron Hand"_s, kNotify);
    EXPECT_EQ(Count(0), u"(2)"_s);
    EXPECT_TRUE(Nicks().isEmpty());
    EXPECT_FALSE(sendBox->isEnabled() || Button(u"EmoteBtn"_s)->Enabled());
    EXPECT_EQ(status->text(), u"Joining channel Orchid Talk..."_s);
    EXPECT_EQ(link->Last(), "JOIN #L_12_5 plumvex4");
}

TEST_F(ChatWindow, closedWhileAnEntryLetsEventsRunGoesNoFurther) {
    // The window deletes itself on close; an entry lets events run, and a close among them
    // (the user's click) takes the window away in the middle of the handler.
    const auto closeSoon = [this] {
        QTimer::singleShot(0, chat.data(), [this] { chat->close(); });
    };
    ListLobbies();
    closeSoon();
    Feed(Lobby::kJoined, {":bob!u@h JOIN :0,0 x_12_3"});  // own join: an entry, then controls
    EXPECT_TRUE(chat.isNull());

    Open();
    EnterLobby();
    *link = {};
    closeSoon();
    Feed(Lobby::kLeft, {":bob!u@h PART x_12_3"});  // put out by the service: entry, then rejoin
    EXPECT_TRUE(chat.isNull());
    EXPECT_EQ(link->Last(), "PART x_12_3");  // the window's own leaving, no JOIN after it

    Open();
    EnterLobby();
    sendBox->setText(u"bye"_s);
    closeSoon();
    QTest::mouseClick(Button(u"SendBtn"_s), Qt::LeftButton);
    EXPECT_TRUE(chat.isNull());
}

// Ctrl+W, from anywhere in the window, closes it as its close button does.
TEST_F(ChatWindow, ctrlWClosesTheWindowAndLeavesTheLobby) {
    EnterLobby();
    QApplication::setActiveWindow(chat);
    ASSERT_TRUE(QTest::qWaitForWindowActive(chat));
    QSignalSpy closed(chat.data(), &ChatUI::Closed);
    QTest::keyClick(sendBox, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(link->Last(), "PART x_12_3");
    EXPECT_TRUE(link->intercepts.empty());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(chat.isNull());
}

// Letters typed in the users list go to the first member they start; the member stays current
// when a pass redraws the list around it, so Space chooses the one the user found.
TEST_F(ChatWindow, lettersInTheUsersListFindAMemberWhoStaysFoundThroughARedraw) {
    EnterLobby();
    Feed(Lobby::kJoined, {":cathy!u@h JOIN :0,0 x_12_3", ":dan!u@h JOIN :0,0 x_12_3"});
    chat->CatchUpLists();
    nicks->setFocus();
    QTest::keyClicks(nicks, u"da"_s);
    ASSERT_EQ(nicks->currentIndex().data().toString(), u"dan"_s);
    Feed(Lobby::kJoined, {":zed!u@h JOIN :0,0 x_12_3"});
    Feed(Lobby::kLeft, {":carl!u@h PART x_12_3"});
    chat->CatchUpLists();
    EXPECT_EQ(nicks->currentIndex().data().toString(), u"dan"_s);
    QTest::keyClick(nicks, Qt::Key_Space);
    sendBox->setText(u"psst"_s);
    QTest::mouseClick(Button(u"SendBtn"_s), Qt::LeftButton);
    EXPECT_EQ(link->Last(), "PRIVMSG dan :psst");
}

// Renamed members are told in the join and leave colour; removed from the lobby, the user sees
// it in the error colour, the window goes inactive, and a click on a lobby joins again.
TEST_F(ChatWindow, renamesAndRemovalsAreToldAndARemovedUserClicksToReturn) {
    EnterLobby();
    Feed(Lobby::kNick, {":carl!u@h NICK carlos"});
    ExpectLast(u"carl is now known as carlos"_s, kNotify);
    EXPECT_EQ(Nicks(), (QStringList{u"op"_s, u"carlos"_s, u"bob"_s}));
    Feed(Lobby::kKick, {":op!u@h KICK x_12_3 carlos :spam"});
    ExpectLast(u"carlos was removed by op (spam)"_s, kNotify);
    EXPECT_EQ(Count(0), u"(2)"_s);

    Feed(Lobby::kKick, {":op!u@h KICK x_12_3 bob :go away"});
    ExpectLast(u"You were removed from Iron Hand by op (go away)"_s, QColor(150, 0, 0));
    EXPECT_EQ(status->text(), u"Chat is inactive."_s);
    EXPECT_TRUE(Nicks().isEmpty());
    EXPECT_FALSE(sendBox->isEnabled() || Button(u"SendBtn"_s)->Enabled() ||
                 Button(u"EmoteBtn"_s)->Enabled());
    EXPECT_EQ(link->Last(), "JOIN x_12_3 plumvex4");  // the first one, no other
    Click(lobbies, lobbies->topLevelItem(0));
    EXPECT_EQ(link->sent.back(), "JOIN x_12_3 plumvex4");
    EXPECT_EQ(std::count(link->sent.begin(), link->sent.end(), "JOIN x_12_3 plumvex4"), 2);
    EXPECT_EQ(status->text(), u"Joining channel Iron Hand..."_s);
}

// Lines the code page cannot carry, or typed while the link is down, are refused with a notice
// and stay in the box; a lost link leaves the lobby and a restored one joins it again.
TEST_F(ChatWindow, refusedLinesAndTheLinkGoingDownAndComingBack) {
    EnterLobby();
    const size_t before = link->sent.size();
    sendBox->setText(u"日本"_s);
    QTest::keyClick(sendBox, Qt::Key_Return);
    EXPECT_EQ(link->sent.size(), before);
    ExpectLast(u"The line holds characters that cannot be sent; it was not sent."_s, kNotify);
    EXPECT_EQ(sendBox->text(), u"日本"_s);

    chat->LinkDown();
    ExpectLast(u"Connection lost."_s, kNotify);
    EXPECT_FALSE(chat->ChatActive());
    EXPECT_TRUE(Nicks().isEmpty());
    sendBox->setText(u"hello"_s);
    QTest::keyClick(sendBox, Qt::Key_Return);
    ExpectLast(u"Not connected: the line was not sent."_s, kNotify);
    EXPECT_EQ(link->sent.size(), before);

    chat->LinkRestored();
    ExpectLast(u"Reconnected."_s, kNotify);
    EXPECT_EQ(link->Last(), "JOIN x_12_3 plumvex4");
}

// What the window adds to a conversation: a log per lobby, the find bar, completion from the
// users list and recall of the lines sent.
class ChatLog : public test::ChatWindowTest {
protected:
    void SetUp() override {
        ChatWindowTest::SetUp();
        Open("Ann");
        QApplication::setActiveWindow(chat);
        ASSERT_TRUE(QTest::qWaitForWindowActive(chat));
        Feed(Lobby::kList,
             {":s 327 Ann #Lob_12_0 4 0 1", ":s 327 Ann #Lob_12_1 2 0 1", ":s 323 Ann :End"});
        Feed(Lobby::kJoined, {":Ann!u@h JOIN :0,0 #Lob_12_0"});
        Feed(Lobby::kJoin,
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
    Feed(Lobby::kMessage, {":bob!u@h PRIVMSG #Lob_12_0 :hello", ":bob!u@h PRIVMSG Ann :psst"});
    box->setText(u"hi all"_s);
    QTest::keyClick(box, Qt::Key_Return);
    // A move: the leaving notice belongs to the lobby left.
    auto* lobbies = chat->findChild<QTreeWidget*>(u"LobList"_s);
    lobbies->setCurrentItem(lobbies->topLevelItem(1));
    QTest::keyClick(lobbies, Qt::Key_Return);
    Feed(Lobby::kLeft, {":Ann!u@h PART #Lob_12_0"});
    Feed(Lobby::kJoined, {":Ann!u@h JOIN :0,0 #Lob_12_1"});
    Feed(Lobby::kMessage, {":carl!u@h PRIVMSG #Lob_12_1 :welcome"});

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
    EXPECT_EQ(link->Last(), "PRIVMSG #Lob_12_0 :bonnie: hi");
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
