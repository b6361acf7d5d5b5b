// SPDX-License-Identifier: MIT
// The chat window over a real session and connection, against a scripted peer: what matters
// here is how the connection's reply queue hands lines to the window.
#include <gtest/gtest.h>
#include <QPointer>
#include <QTreeWidget>

#include "chat/chat_ui.h"
#include "chat_test_util.h"
#include "session/wolcon.h"
#include "support/loopback_peer.h"
#include "support/pump.h"
#include "support/temp_registry.h"

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

TEST_F(ChatOverSession, onlyTheFirstNamesLineOfAReplyIsListed) {
    Deliver({":s 321 bob Channel :Users Name", ":s 327 bob #Lob_12_1 5 0 1",
             ":s 323 bob :End of LIST"});
    ASSERT_TRUE(peer.WaitForLine("JOIN #Lob_12_1 plumvex4"));
    Deliver({":bob!u@h JOIN :0,0 #Lob_12_1", ":s 353 bob = #Lob_12_1 :@op bob,0,0",
             ":s 353 bob = #Lob_12_1 :carl dave", ":s 366 bob #Lob_12_1 :End of names"});
    // The second "353" finds the reply already started and is nobody's line.
    EXPECT_EQ(test::NickList(*chat), (QStringList{u"op"_s, u"bob"_s}));
    EXPECT_EQ(chat->findChild<QTreeWidget*>(u"LobList"_s)->topLevelItem(0)->text(1), u"(2)"_s);
    EXPECT_TRUE(chat->ChatActive());

    Deliver({":carl!u@h JOIN :0,0 #Lob_12_1"});  // later arrivals come through the intercept
    EXPECT_EQ(test::NickList(*chat).back(), u"carl"_s);
}

}  // namespace
}  // namespace vantor
