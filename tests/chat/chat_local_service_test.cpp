// SPDX-License-Identifier: MIT
// Three users in the lobbies of the bundled local service, each with a session and a window.
#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <memory>

#include "chat/chat_lines.h"
#include "chat/chat_ui.h"
#include "chat_test_util.h"
#include "session/wolcon.h"
#include "support/local_server.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Member {
    WOLCon wol;
    QPointer<ChatUI> chat;
    int logOn = -1;

    QStringList Nicks() const {
        QStringList out = test::NickList(*chat);
        out.sort();
        return out;
    }
    // The colour of the entry with exactly this text; invalid when there is none.
    QColor Entry(const QString& text) const {
        chat->CatchUpHistory();
        const QTextDocument* doc = chat->findChild<QTextBrowser*>(u"ChatHistory"_s)->document();
        for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
            if (b.text() == text) return test::EntryColour(b);
        }
        return QColor();
    }
    void Click(const QString& list, int row) {
        auto* view = chat->findChild<QAbstractItemView*>(list);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }
    void Say(const QString& text, const QString& button) {
        chat->findChild<QLineEdit*>(u"SendBox"_s)->setText(text);
        QTest::mouseClick(chat->findChild<QWidget*>(button), Qt::LeftButton);
    }
};

TEST(ChatOnLocalService, threeUsersTalkInALobbyAndOneMovesOn) {
    test::ScopedRegistry registry;
    test::ChatSettings settings;
    SetSettingsSource(&settings);
    test::LocalServer server{/*demo=*/false};
    ASSERT_TRUE(server.Ok());
    Member ann, bob, cat;
    Member* all[] = {&ann, &bob, &cat};
    auto pump = [&](const std::function<bool()>& done) {
        return test::PumpUntil(done, [&] {
            for (Member* m : all) m->wol.PopulateBuff();
            QApplication::processEvents();
        });
    };
    const char* nicks[] = {"ann", "bob", "cat"};
    for (int i = 0; i < 3; ++i) {
        Member& m = *all[i];
        m.wol.LogOnResult = [&m](LogOnResult result) { m.logOn = int(result); };
        ASSERT_TRUE(m.wol.connect(server.BasePort()));
        m.wol.LogOn(WolInfo{nicks[i], "secret"}, false);
        ASSERT_TRUE(pump([&] { return m.logOn == 0; }));
        m.chat = new ChatUI;
        m.chat->SetWOL(ChatLinkTo(m.wol));
        m.chat->show();
        m.chat->SetUser(nicks[i]);
        m.chat->ConnectChat();
    }
    const QStringList everyone{u"ann"_s, u"bob"_s, u"cat"_s};
    ASSERT_TRUE(pump([&] {
        for (Member* m : all) {
            if (!m->chat->ChatActive() || m->Nicks() != everyone) return false;
        }
        return true;
    }));
    EXPECT_EQ(ann.chat->findChild<QTreeWidget*>(u"LobList"_s)->topLevelItem(0)->text(1), u"(3)"_s);

    ann.Say(u"hello"_s, u"SendBtn"_s);
    bob.Say(u"waves"_s, u"EmoteBtn"_s);
    cat.Click(u"NickList"_s, 0);  // ann, privately
    cat.Say(u"psst"_s, u"SendBtn"_s);
    ASSERT_TRUE(pump([&] {
        return bob.Entry(u"ann: hello"_s).isValid() && cat.Entry(u"ann: hello"_s).isValid() &&
               ann.Entry(u"bob waves"_s).isValid() && cat.Entry(u"bob waves"_s).isValid() &&
               ann.Entry(u"cat: psst"_s).isValid();
    }));
    EXPECT_EQ(cat.Entry(u"bob waves"_s), QColor(0, 150, 0));
    EXPECT_EQ(ann.Entry(u"cat: psst"_s), QColor(0, 128, 255));

    // cat moves to the second lobby: the others see it go, it is alone there.
    cat.Click(u"LobList"_s, 1);
    ASSERT_TRUE(pump([&] {
        return cat.chat->ChatActive() && cat.Nicks() == QStringList{u"cat"_s} &&
               ann.Nicks() == QStringList{u"ann"_s, u"bob"_s} && bob.Nicks() == ann.Nicks();
    }));
    EXPECT_TRUE(cat.Entry(u"Left channel Azure Barracks"_s).isValid());
    EXPECT_TRUE(cat.Entry(u"Joined channel Crimson Barracks"_s).isValid());

    // The old lobby's lines no longer reach cat; a closed window takes bob out of the lobby.
    ann.Say(u"still here?"_s, u"SendBtn"_s);
    ASSERT_TRUE(pump([&] { return bob.Entry(u"ann: still here?"_s).isValid(); }));
    EXPECT_FALSE(cat.Entry(u"ann: still here?"_s).isValid());
    EXPECT_FALSE(bob.Entry(u"cat: psst"_s).isValid());  // sent earlier, so it would be there
    bob.chat->close();
    ASSERT_TRUE(pump([&] { return ann.Nicks() == QStringList{u"ann"_s}; }));

    for (Member* m : all) delete m->chat.data();
    SetSettingsSource(nullptr);
}

// The service spreads a names reply over lines of 400 bytes: 60 members and the user take two,
// and every one of them is listed, the user (the last to join) too.
TEST(ChatOnLocalService, sixtyMembersOfALobbyAreAllListed) {
    test::ScopedRegistry registry;
    test::ChatSettings settings;
    SetSettingsSource(&settings);
    test::LocalServer server{/*demo=*/false};
    ASSERT_TRUE(server.Ok());
    std::vector<std::unique_ptr<WOLCon>> crowd;
    Member bob;
    const auto pump = [&](const std::function<bool()>& done) {
        return test::PumpUntil(done, [&] {
            for (auto& wol : crowd) wol->PopulateBuff();
            bob.wol.PopulateBuff();
            QApplication::processEvents();
        });
    };
    int loggedOn = 0;
    for (int i = 0; i < 60; ++i) {
        auto& wol = *crowd.emplace_back(std::make_unique<WOLCon>());
        wol.LogOnResult = [&loggedOn](LogOnResult result) {
            loggedOn += result == LogOnResult::LoggedOn;
        };
        ASSERT_TRUE(wol.connect(server.BasePort()));
        wol.LogOn(WolInfo{"member" + std::to_string(10 + i), "secret"}, false);
    }
    ASSERT_TRUE(pump([&] { return loggedOn == 60; }));
    for (auto& wol : crowd) wol->send(JoinCommand("#Lob_12_0"));

    bob.wol.LogOnResult = [&bob](LogOnResult result) { bob.logOn = int(result); };
    ASSERT_TRUE(bob.wol.connect(server.BasePort()));
    bob.wol.LogOn(WolInfo{"bob", "secret"}, false);
    ASSERT_TRUE(pump([&] { return bob.logOn == 0; }));
    bob.chat = new ChatUI;
    bob.chat->SetWOL(ChatLinkTo(bob.wol));
    bob.chat->show();
    bob.chat->SetUser("bob");
    bob.chat->ConnectChat();
    auto* lobbies = bob.chat->findChild<QTreeWidget*>(u"LobList"_s);
    ASSERT_TRUE(pump([&] {
        return bob.chat->ChatActive() && bob.Nicks().size() == 61 &&
               lobbies->topLevelItem(0)->text(1) == u"(61)"_s;
    })) << bob.Nicks().size();
    QStringList expected{u"bob"_s};
    for (int i = 0; i < 60; ++i) expected << u"member"_s + QString::number(10 + i);
    EXPECT_EQ(bob.Nicks(), expected);

    delete bob.chat.data();
    SetSettingsSource(nullptr);
}

}  // namespace
}  // namespace vantor
