// SPDX-License-Identifier: MIT
// The chat window over a real session and connection, against a scripted peer: what matters
// here is how the connection's reply queue hands lines to the window.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include "chat/chat_ui.h"
#include "chat_test_util.h"
#include "pages/ignore_list.h"
#include "session/wolcon.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/temp_registry.h"
#include "transport/wolcon2.h"

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

class ChatOverSession : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsSource(&settings);
        ASSERT_TRUE(peer.Listening());
        ASSERT_TRUE(wol.connect(peer.Port()));
        ASSERT_TRUE(peer.Accept());
        chat = new ChatUI;
        chat->SetWOL(ChatLinkTo(wol));
        chat->SetUser("bob");
        chat->ConnectChat();
        ASSERT_TRUE(peer.WaitForLine("LIST 0 12"));
    }
    void TearDown() override {
        delete chat.data();
        Ignores().Assign({});
        SetSettingsSource(nullptr);
    }

    // Sends the lines and a closing PING, then pumps until the PONG shows all were handled.
    void Deliver(const std::vector<std::string>& lines) {
        std::string chunk;
        for (const auto& line : lines) chunk += line + "\r\n";
        const std::size_t before = Pongs();
        peer.Send(chunk + "PING :mark\r\n");
        ASSERT_TRUE(test::PumpUntil([&] { return Pongs() > before; }, [&] { wol.PopulateBuff(); }));
    }
    std::size_t Pongs() {
        std::size_t n = 0;
        for (const auto& line : peer.Lines()) n += line.rfind("PONG ", 0) == 0 ? 1 : 0;
        return n;
    }

    test::ScopedRegistry registry;
    test::ChatSettings settings;
    test::LoopbackPeer peer;
    WOLCon wol;
    QPointer<ChatUI> chat;
};

// Every "353" of the reply up to its "366" is listed, and the count is theirs: the later lines
// of a started reply are the JOIN's data lines. The topic lines a real service sends around
// them (332 and 333) break nothing, and a second JOIN's reply does not mix with the first.
TEST_F(ChatOverSession, everyNamesLineOfAReplyIsListed) {
    Deliver({":s 321 bob Channel :Users Name", ":s 327 bob #Lob_12_1 5 0 1",
             ":s 327 bob #Lob_12_2 5 0 1", ":s 323 bob :End of LIST"});
    ASSERT_TRUE(peer.WaitForLine("JOIN #Lob_12_1 plumvex4"));
    Deliver({":bob!u@h JOIN :0,0 #Lob_12_1", ":s 332 bob #Lob_12_1 :Mind the mines",
             ":s 333 bob #Lob_12_1 ann 1700000000", ":s 353 bob = #Lob_12_1 :@op bob,0,0",
             ":s 353 bob = #Lob_12_1 :carl dave", ":s 353 bob = #Lob_12_1 :@eve",
             ":s 366 bob #Lob_12_1 :End of names"});
    EXPECT_EQ(test::NickList(*chat),
              (QStringList{u"eve"_s, u"op"_s, u"bob"_s, u"carl"_s, u"dave"_s}));
    auto* lobbies = chat->findChild<QTreeWidget*>(u"LobList"_s);
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(5)"_s);
    EXPECT_TRUE(chat->ChatActive());

    Deliver({":carl!u@h JOIN :0,0 #Lob_12_1"});  // listed once
    Deliver({":fred!u@h JOIN :0,0 #Lob_12_1"});  // later arrivals come through the intercept
    EXPECT_EQ(test::NickList(*chat).back(), u"fred"_s);

    lobbies->setCurrentItem(lobbies->topLevelItem(1));
    QTest::keyClick(lobbies, Qt::Key_Return);
    ASSERT_TRUE(peer.WaitForLine("PART #Lob_12_1"));
    Deliver({":bob!u@h PART #Lob_12_1"});
    ASSERT_TRUE(peer.WaitForLine("JOIN #Lob_12_2 plumvex4"));
    Deliver({":bob!u@h JOIN :0,0 #Lob_12_2", ":s 353 bob = #Lob_12_2 :bob",
             ":s 353 bob = #Lob_12_2 :gus", ":s 366 bob #Lob_12_2 :End of names"});
    EXPECT_EQ(test::NickList(*chat), (QStringList{u"bob"_s, u"gus"_s}));
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1) + lobbies->topLevelItem(1)->text(1), u"(5)(2)"_s);
}

// 2,000 names in 20 lines and a storm of 500 joins and 500 parts, all in one receive pass: the
// users list and the count are drawn once, after the pass, and are right.
TEST_F(ChatOverSession, aBigLobbyAndAStormInOnePassAreDrawnOnce) {
    Deliver({":s 321 bob Channel :Users Name", ":s 327 bob #Lob_12_0 5 0 1",
             ":s 323 bob :End of LIST"});
    ASSERT_TRUE(peer.WaitForLine("JOIN #Lob_12_0 plumvex4"));
    const auto nick = [](const char* stem, int i) { return stem + std::to_string(10000 + i); };
    std::string pass = ":bob!u@h JOIN :0,0 #Lob_12_0\r\n";
    for (int line = 0; line < 20; ++line) {
        pass += ":s 353 bob = #Lob_12_0 :";
        for (int i = line * 100; i < line * 100 + 100; ++i) {
            pass += (i == 0 ? std::string("bob") : nick("u", i)) + (i % 100 == 99 ? "" : " ");
        }
        pass += "\r\n";
    }
    pass += ":s 366 bob #Lob_12_0 :End of /NAMES list.\r\n";
    for (int i = 0; i < 500; ++i) {
        pass += ":" + nick("j", i) + "!u@h JOIN :0,0 #Lob_12_0\r\n";
        pass += ":" + nick("u", 2 * i + 1) + "!u@h PART #Lob_12_0\r\n";
    }
    auto* users = chat->findChild<QAbstractItemView*>(u"NickList"_s);
    auto* lobbies = chat->findChild<QTreeWidget*>(u"LobList"_s);
    QSignalSpy drawn(users->model(), &QAbstractItemModel::modelReset);
    QSignalSpy counted(lobbies->model(), &QAbstractItemModel::dataChanged);

    ASSERT_EQ(wol.Interface().ProcessReceived(pass), PassResult::Lines);
    EXPECT_EQ(drawn.count() + counted.count(), 0);  // nothing drawn line by line
    QApplication::processEvents();
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_EQ(counted.count(), 1);
    EXPECT_EQ(lobbies->topLevelItem(0)->text(1), u"(2000)"_s);

    QStringList expected{u"bob"_s};
    for (int i = 1; i < 2000; ++i) {
        if (i % 2 == 0 || i > 999) expected << QString::fromStdString(nick("u", i));
    }
    for (int i = 0; i < 500; ++i) expected << QString::fromStdString(nick("j", i));
    EXPECT_EQ(test::NickList(*chat), expected);
}

// 500 lines of an ignored user with a PING among them, in one receive pass: the PING is answered
// in that very pass, the conversation is as it was, and the status line says once what was hidden.
TEST_F(ChatOverSession, aFloodFromAnIgnoredUserLeavesTheHistoryAndThePingIsAnsweredInThePass) {
    Deliver({":s 321 bob Channel :Users Name", ":s 327 bob #Lob_12_0 5 0 1",
             ":s 323 bob :End of LIST"});
    ASSERT_TRUE(peer.WaitForLine("JOIN #Lob_12_0 plumvex4"));
    Deliver({":bob!u@h JOIN :0,0 #Lob_12_0", ":s 353 bob = #Lob_12_0 :bob carl dave",
             ":s 366 bob #Lob_12_0 :End of names", ":dave!u@h PRIVMSG #Lob_12_0 :hi"});
    Ignores().Add("carl");
    auto* history = chat->findChild<QTextBrowser*>(u"ChatHistory"_s);
    chat->CatchUpHistory();
    const QString before = history->toPlainText();

    std::string pass;
    for (int i = 0; i < 500; ++i) {
        pass += ":carl!u@h PRIVMSG #Lob_12_0 :flood line " + std::to_string(i) + "\r\n";
        if (i == 250) pass += "PING :in the flood\r\n";
    }
    const std::size_t pongs = Pongs();
    ASSERT_EQ(wol.Interface().ProcessReceived(pass), PassResult::Lines);
    EXPECT_TRUE(test::PumpUntil([&] { return Pongs() > pongs; }, nullptr));  // no pass since
    chat->CatchUpHistory();
    EXPECT_EQ(history->toPlainText(), before);
    QApplication::processEvents();
    EXPECT_EQ(chat->findChild<QLabel*>(u"StatusLabel"_s)->text(),
              u"500 lines from carl were hidden"_s);
    EXPECT_EQ(test::NickList(*chat), (QStringList{u"bob"_s, u"carl"_s, u"dave"_s}));
}

}  // namespace
}  // namespace vantor
