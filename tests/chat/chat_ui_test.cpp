// SPDX-License-Identifier: MIT
#include "chat/chat_ui.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "chat_test_util.h"
#include "controls/vantor_btn.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

const QColor kIn(255, 128, 0);
const QColor kPrivate(0, 128, 255);
const QColor kEmote(0, 150, 0);
const QColor kNotify(150, 0, 150);
const QColor kWhite(255, 255, 255);

class ChatWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsSource(&settings);
        chat = new ChatUI;
        chat->SetLink(&link);
        chat->show();
        chat->SetUser("bob");
        chat->ConnectChat();
        lobbies = chat->findChild<QTreeWidget*>(u"LobList"_s);
        nicks = chat->findChild<QListWidget*>(u"NickList"_s);
        history = chat->findChild<QTextBrowser*>(u"ChatHistory"_s);
        sendBox = chat->findChild<QLineEdit*>(u"SendBox"_s);
        status = chat->findChild<QLabel*>(u"StatusLabel"_s);
        ASSERT_TRUE(lobbies && nicks && history && sendBox && status);
    }
    void TearDown() override {
        delete chat.data();
        SetSettingsSource(nullptr);
    }

    void Relay(std::initializer_list<const char*> lines) {
        for (const char* line : lines) ASSERT_TRUE(link.Relay(line)) << line;
    }
    void ListLobbies() {
        Relay({":s 321 bob Channel :Users Name", ":s 327 bob x_12_3 17 0 388",
               ":s 327 bob #Lob_13_0 4 0 1", ":s 327 bob #Lob_12_0 4 0 1",
               ":s 327 bob #Lob_12_5 2 0 1", ":s 323 bob :End of /LIST"});
    }
    // Lists the lobbies and completes the join of the first one with these names.
    void EnterLobby(const char* names = ":s 353 bob = x_12_3 :carl @op bob,0,0") {
        ListLobbies();
        Relay({":bob!u@h JOIN :0,0 x_12_3", names, ":s 366 bob x_12_3 :End of names"});
    }
    VantorBtn* Button(const QString& name) { return chat->findChild<VantorBtn*>(name); }
    void Click(QListWidget* list, QListWidgetItem* item) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    void Click(QTreeWidget* list, QTreeWidgetItem* item) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
    QStringList Nicks() const {
        QStringList out;
        for (int i = 0; i < nicks->count(); ++i) out << nicks->item(i)->text();
        return out;
    }
    // The box shows entries a moment later; these bring it up to date first.
    QTextDocument* Doc() const {
        chat->CatchUpHistory();
        return history->document();
    }
    QTextBlock LastBlock() const {
        chat->CatchUpHistory();
        return test::LastEntry(*history);
    }
    QString Last() const { return LastBlock().text(); }
    QColor LastColour() const { return test::EntryColour(LastBlock()); }

    test::ScopedRegistry registry;
    test::FakeSettings settings;
    test::RecordingLink link;
    QPointer<ChatUI> chat;
    QTreeWidget* lobbies = nullptr;
    QListWidget* nicks = nullptr;
    QTextBrowser* history = nullptr;
    QLineEdit* sendBox = nullptr;
    QLabel* status = nullptr;
};

TEST_F(ChatWindow, listsLobbiesByNameAndJoinsTheConfiguredOne) {
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ(link.sent[0].command, "LIST 0 12");
    EXPECT_EQ(std::any_cast<int>(link.sent[0].param), 1);
    EXPECT_EQ(link.sent[0].code + "/" + link.sent[0].cStart + "/" + link.sent[0].cEnd,
              "327/321/323");
    EXPECT_EQ(status->text(), u"Requesting lobby list..."_s);

    ListLobbies();
    ASSERT_EQ(lobbies->topLevelItemCount(), 3);
    const QTreeWidgetItem* iron = lobbies->topLevelItem(0);
    EXPECT_EQ(iron->text(0), u"Iron Hand"_s);
    EXPECT_EQ(iron->text(1), u"(17)"_s);
    EXPECT_EQ(iron->data(0, Qt::UserRole).toByteArray(), "x_12_3");
    EXPECT_EQ(lobbies->topLevelItem(2)->text(0), u"Orchid Talk"_s);

    // "ChatInitialLobby" 0 is the first row.
    EXPECT_EQ(chat->CurrentLobby(), 1);
    EXPECT_TRUE(iron->font(0).bold());
    EXPECT_EQ(iron->foreground(0).color(), kWhite);
    EXPECT_FALSE(lobbies->topLevelItem(1)->font(0).bold());
    EXPECT_EQ(status->text(), u"Joining channel Iron Hand..."_s);
    ASSERT_EQ(link.sent.size(), 2u);
    EXPECT_EQ(link.sent[1].command, "JOIN x_12_3 plumvex4");
    EXPECT_EQ(std::any_cast<int>(link.sent[1].param), 2);
    EXPECT_EQ(link.sent[1].code + "/" + link.sent[1].cStart + "/" + link.sent[1].cEnd,
              "475/353/366");
    const std::map<std::string, int> hooks{{"PRIVMSG", 3}, {"JOIN", 4}, {"PART", 5}, {"QUIT", 6}};
    ASSERT_EQ(link.intercepts.size(), 4u);
    for (const auto& [code, param] : hooks) {
        EXPECT_EQ(std::any_cast<int>(link.intercepts.at(code).param), param) << code;
    }
}

TEST_F(ChatWindow, initialLobbyPastTheListFallsBackToTheFirstRow) {
    settings.numbers["ChatInitialLobby"] = 7;
    ListLobbies();
    EXPECT_EQ(chat->CurrentLobby(), 1);
    EXPECT_EQ(link.sent.back().command, "JOIN x_12_3 plumvex4");

    settings.numbers["ChatInitialLobby"] = 2;
    link = {};
    chat->ConnectChat();
    ListLobbies();
    EXPECT_EQ(chat->CurrentLobby(), 3);
    EXPECT_EQ(link.sent.back().command, "JOIN #Lob_12_5 plumvex4");
}

TEST_F(ChatWindow, emptyLobbyListJoinsNothing) {
    Relay({":s 321 bob Channel :Users Name", ":s 327 bob #Lob_12_x 4", ":s 323 bob :End"});
    EXPECT_EQ(lobbies->topLevelItemCount(), 0);
    EXPECT_EQ(chat->CurrentLobby(), 0);
    EXPECT_EQ(link.sent.size(), 1u);
    EXPECT_TRUE(link.intercepts.empty());
    chat->close();
    EXPECT_EQ(link.sent.size(), 1u);  // no PART for a lobby never joined
}

TEST_F(ChatWindow, namesPutOperatorsOnTopAndTheOwnJoinActivatesChat) {
    ListLobbies();
    EXPECT_FALSE(sendBox->isEnabled());
    EXPECT_FALSE(Button(u"SendBtn"_s)->Enabled());
    Relay({":bob!u@h JOIN :0,0 x_12_3"});
    EXPECT_EQ(Last(), u"Joined channel Iron Hand"_s);
    EXPECT_EQ(LastColour(), kNotify);
    EXPECT_TRUE(chat->ChatActive());
    EXPECT_TRUE(sendBox->isEnabled());
    EXPECT_TRUE(Button(u"SendBtn"_s)->Enabled());
    EXPECT_TRUE(Button(u"EmoteBtn"_s)->Enabled());
    EXPECT_EQ(status->text(), u"Chat is active."_s);

    Relay({":s 353 bob = x_12_3 :carl @op bob,0,0", ":s 366 bob x_12_3 :End of names"});
    EXPECT_EQ(Nicks(), (QStringList{u"op"_s, u"carl"_s, u"bob"_s}));
    EXPECT_TRUE(nicks->item(0)->data(Qt::UserRole + 1).toBool());
    EXPECT_EQ(nicks->item(0)->foreground().color(), kWhite);
    EXPECT_FALSE(nicks->item(2)->data(Qt::UserRole + 1).toBool());
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(3)"_s);

    // A "475" answer changes nothing.
    Relay({":bob!u@h JOIN :0,0 x_12_3"});
    link.Relay(":s 475 bob x_12_3 :Bad key");
    EXPECT_EQ(Nicks().size(), 3);
}

TEST_F(ChatWindow, othersComeAndGoWithTheCountFollowing) {
    EnterLobby();
    Relay({":dave!u@h JOIN :0,0 x_12_3"});
    EXPECT_EQ(Nicks().back(), u"dave"_s);
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(4)"_s);
    Relay({":Dave!u@h JOIN :0,0 x_12_3"});  // already listed: one entry per user
    EXPECT_EQ(Nicks().size(), 4);

    Relay({":CARL!u@h PART x_12_3"});
    EXPECT_EQ(Nicks(), (QStringList{u"op"_s, u"bob"_s, u"dave"_s}));
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(3)"_s);
    Relay({":dave!u@h QUIT :Gone"});
    EXPECT_EQ(Nicks(), (QStringList{u"op"_s, u"bob"_s}));
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(2)"_s);

    // Strangers and broken lines leave everything as it was.
    const int entries = Doc()->blockCount();
    Relay({":zed!u@h PART x_12_3", ":zed!u@h QUIT :x", " PART", ":!x JOIN", ":ann!u@h PRIVMSG #c"});
    EXPECT_EQ(Nicks(), (QStringList{u"op"_s, u"bob"_s}));
    EXPECT_EQ(Doc()->blockCount(), entries);
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(2)"_s);
}

TEST_F(ChatWindow, incomingMessagesAreColouredByKind) {
    EnterLobby();
    Relay({":ann!u@h PRIVMSG x_12_3 :hello all"});
    EXPECT_EQ(Last(), u"ann: hello all"_s);
    EXPECT_EQ(LastColour(), kIn);

    Relay({":ann!u@h PRIVMSG x_12_3 :\x01" "ACTIONwaves\x01"});
    EXPECT_EQ(Last(), u"ann waves"_s);
    EXPECT_EQ(LastColour(), kEmote);

    Relay({":ann!u@h PRIVMSG BOB :psst"});  // the own nickname in any case
    EXPECT_EQ(Last(), u"ann: psst"_s);
    EXPECT_EQ(LastColour(), kPrivate);
}

TEST_F(ChatWindow, wireTextIsNeverMarkup) {
    EnterLobby();
    Relay({":ann!u@h PRIVMSG x_12_3 :<b>big</b> &amp; <a href=\"x\">y</a>"});
    EXPECT_EQ(Last(), u"ann: <b>big</b> &amp; <a href=\"x\">y</a>"_s);
    for (auto it = LastBlock().begin(); !it.atEnd(); ++it) {
        EXPECT_FALSE(it.fragment().charFormat().isAnchor());
        EXPECT_NE(it.fragment().charFormat().fontWeight(), QFont::Bold);
    }
    Relay({":ann!u@h PRIVMSG x_12_3 :caf\xE9 \x80"});
    EXPECT_EQ(Last(), u"ann: caf\u00e9 \u20ac"_s);
}

TEST_F(ChatWindow, addressesBecomeLinksAndTheOwnNicknameStandsOut) {
    EnterLobby();
    Relay({":ann!u@h PRIVMSG x_12_3 :see www.example.org/a?b=1, Bob, not bobby"});
    EXPECT_EQ(Last(), u"ann: see www.example.org/a?b=1, Bob, not bobby"_s);
    QStringList links, bold;
    for (auto it = LastBlock().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (f.isAnchor()) links << f.anchorHref() + u"="_s + it.fragment().text();
        if (f.fontWeight() == QFont::Bold) bold << it.fragment().text();
        EXPECT_EQ(f.foreground().color(), kIn);
    }
    EXPECT_EQ(links, QStringList{u"http://www.example.org/a?b=1=www.example.org/a?b=1"_s});
    EXPECT_EQ(bold, QStringList{u"Bob"_s});
    EXPECT_TRUE(history->isReadOnly());
}

TEST_F(ChatWindow, sendingGoesToTheLobbyOrToTheBoldRecipients) {
    EnterLobby();
    const size_t before = link.sent.size();
    QTest::keyClick(sendBox, Qt::Key_Return);  // empty: nothing
    EXPECT_EQ(link.sent.size(), before);

    QTest::keyClicks(sendBox, u"hello there"_s);
    QTest::keyClick(sendBox, Qt::Key_Return);
    EXPECT_EQ(link.sent.back().command, "PRIVMSG x_12_3 :hello there");
    EXPECT_FALSE(link.sent.back().callback);
    EXPECT_EQ(Last(), u"bob: hello there"_s);
    EXPECT_EQ(LastColour(), kIn);  // the out colour has the same default
    EXPECT_TRUE(sendBox->text().isEmpty());

    sendBox->setText(u"waves"_s);
    QTest::mouseClick(Button(u"EmoteBtn"_s), Qt::LeftButton);
    EXPECT_EQ(link.sent.back().command, "PRIVMSG x_12_3 :\x01" "ACTIONwaves\x01");
    EXPECT_EQ(Last(), u"bob waves"_s);
    EXPECT_EQ(LastColour(), kEmote);

    Click(nicks, nicks->item(0));  // op
    Click(nicks, nicks->item(1));  // carl
    sendBox->setText(u"secret"_s);
    QTest::mouseClick(Button(u"SendBtn"_s), Qt::LeftButton);
    EXPECT_EQ(link.sent.back().command, "PRIVMSG op,carl :secret");
    EXPECT_EQ(Last(), u"bob: secret"_s);
    EXPECT_EQ(LastColour(), kPrivate);

    sendBox->setText(u"nods"_s);
    QTest::mouseClick(Button(u"EmoteBtn"_s), Qt::LeftButton);
    EXPECT_EQ(link.sent.back().command, "PRIVMSG op,carl :\x01" "ACTIONnods\x01");
    EXPECT_EQ(Last(), u"bob nods"_s);
    EXPECT_EQ(LastColour(), kPrivate);
}

TEST_F(ChatWindow, clickingANameTogglesItAsRecipient) {
    EnterLobby();
    QListWidgetItem* carl = nicks->item(1);
    QListWidgetItem* op = nicks->item(0);
    Click(nicks, carl);
    EXPECT_TRUE(carl->font().bold());
    EXPECT_EQ(carl->foreground().color(), kWhite);
    EXPECT_TRUE(nicks->selectedItems().isEmpty());
    Click(nicks, carl);
    EXPECT_FALSE(carl->font().bold());
    EXPECT_EQ(carl->foreground().color(), kIn);
    Click(nicks, op);
    Click(nicks, op);
    EXPECT_FALSE(op->font().bold());
    EXPECT_EQ(op->foreground().color(), kWhite);

    nicks->setFocus();
    nicks->setCurrentItem(carl);
    QTest::keyClick(nicks, Qt::Key_Space);
    EXPECT_TRUE(carl->font().bold());
}

TEST_F(ChatWindow, movingLeavesThenJoinsOnTheOwnPart) {
    EnterLobby();
    const size_t before = link.sent.size();
    Click(lobbies, lobbies->topLevelItem(0));  // the current lobby: nothing
    EXPECT_EQ(link.sent.size(), before);
    EXPECT_TRUE(chat->ChatActive());

    QTreeWidgetItem* target = lobbies->topLevelItem(2);
    Click(lobbies, target);
    EXPECT_EQ(link.sent.back().command, "PART x_12_3");
    EXPECT_FALSE(chat->ChatActive());
    EXPECT_EQ(chat->PreviousLobby(), 1);
    EXPECT_EQ(chat->CurrentLobby(), 3);
    EXPECT_EQ(status->text(), u"Leaving channel Iron Hand..."_s);
    EXPECT_FALSE(lobbies->topLevelItem(0)->font(0).bold());
    EXPECT_EQ(lobbies->topLevelItem(0)->foreground(0).color(), kIn);
    EXPECT_TRUE(target->font(0).bold());
    EXPECT_EQ(target->foreground(0).color(), kWhite);

    Click(lobbies, lobbies->topLevelItem(1));  // a move is under way: ignored
    EXPECT_EQ(link.sent.back().command, "PART x_12_3");
    EXPECT_EQ(chat->CurrentLobby(), 3);

    Relay({":bob!u@h PART x_12_3"});
    EXPECT_EQ(Last(), u"Left channel Iron Hand"_s);
    EXPECT_EQ(LastColour(), kNotify);
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(2)"_s);
    EXPECT_EQ(nicks->count(), 0);
    EXPECT_FALSE(sendBox->isEnabled());
    EXPECT_FALSE(Button(u"EmoteBtn"_s)->Enabled());
    EXPECT_EQ(status->text(), u"Joining channel Orchid Talk..."_s);
    EXPECT_EQ(link.sent.back().command, "JOIN #Lob_12_5 plumvex4");

    Relay({":bob!u@h JOIN :0,0 #Lob_12_5", ":s 353 bob = #Lob_12_5 :bob ann",
           ":s 366 bob #Lob_12_5 :End"});
    EXPECT_EQ(Nicks(), (QStringList{u"bob"_s, u"ann"_s}));
    EXPECT_EQ(target->text(1), u"(2)"_s);
    EXPECT_TRUE(chat->ChatActive());
}

TEST_F(ChatWindow, closingLeavesTheLobbyDropsTheInterceptsAndDeletesTheWindow) {
    EnterLobby();
    QSignalSpy closed(chat.data(), &ChatUI::Closed);
    QTest::mouseClick(Button(u"CloseBtn"_s), Qt::LeftButton);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(link.sent.back().command, "PART x_12_3");
    EXPECT_TRUE(link.intercepts.empty());
    EXPECT_EQ(link.removed.size(), 4u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(chat.isNull());
}

TEST_F(ChatWindow, historyKeepsToItsCapAndDropsWholeLines) {
    EnterLobby();
    for (int i = 0; i < 400; ++i) {
        Relay({(":ann!u@h PRIVMSG x_12_3 :line " + std::to_string(i) + std::string(40, '.')).c_str()});
    }
    const QString text = Doc()->toPlainText();
    EXPECT_LE(text.size() + Doc()->blockCount() - 1, 10000);
    EXPECT_GT(text.size(), 9000);
    EXPECT_TRUE(Doc()->firstBlock().text().startsWith(u"ann: line "_s));
    EXPECT_TRUE(Last().startsWith(u"ann: line 399."_s));
}

TEST_F(ChatWindow, historyFollowsNewLinesOnlyFromTheBottom) {
    EnterLobby();
    for (int i = 0; i < 60; ++i) Relay({":ann!u@h PRIVMSG x_12_3 :filler"});
    chat->CatchUpHistory();
    QScrollBar* bar = history->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(bar->maximum() / 2);
    const int kept = bar->value();
    Relay({":ann!u@h PRIVMSG x_12_3 :more"});
    chat->CatchUpHistory();
    EXPECT_EQ(bar->value(), kept);
    bar->setValue(bar->maximum());
    Relay({":ann!u@h PRIVMSG x_12_3 :more"});
    chat->CatchUpHistory();
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST_F(ChatWindow, entriesCarryATimeStampWhenAsked) {
    settings.numbers["ChatTimeStamps"] = 1;
    ChatUI stamped;
    stamped.AddChat(ChatUI::kNotify, u"hello"_s);
    stamped.CatchUpHistory();
    const auto* box = stamped.findChild<QTextBrowser*>(u"ChatHistory"_s);
    EXPECT_TRUE(QRegularExpression(u"^\\[\\d\\d:\\d\\d\\] hello$"_s)
                    .match(test::LastEntry(*box).text())
                    .hasMatch());
    EXPECT_EQ(test::EntryColour(test::LastEntry(*box)), kNotify);
    EXPECT_EQ(box->document()->firstBlock().text(), QString());  // entries start with a break
}

TEST_F(ChatWindow, controlsCarryTheirNamesForAssistiveTechnology) {
    EXPECT_EQ(chat->objectName(), u"ChatUI"_s);
    EXPECT_EQ(lobbies->accessibleName(), u"Lobbies"_s);
    EXPECT_EQ(nicks->accessibleName(), u"Users"_s);
    EXPECT_EQ(history->accessibleName(), u"Conversation"_s);
    EXPECT_EQ(sendBox->accessibleName(), u"Message"_s);
    for (const auto* name : {"SendBtn", "EmoteBtn", "CloseBtn"}) {
        EXPECT_FALSE(Button(QString::fromLatin1(name))->accessibleName().isEmpty()) << name;
    }
    EXPECT_TRUE(chat->testAttribute(Qt::WA_DeleteOnClose));
}

}  // namespace
}  // namespace vantor
