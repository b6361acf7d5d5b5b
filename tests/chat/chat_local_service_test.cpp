// SPDX-License-Identifier: MIT
// Three users in the lobbies of the bundled local service, each with a session and a chat window.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <array>
#include <memory>

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
    std::string nick;
    WOLCon wol;
    QPointer<ChatUI> chat;
    int logOn = -1;

    template <class T>
    T* Find(const QString& name) const {
        return chat->findChild<T*>(name);
    }
    QStringList Nicks() const {
        auto* list = Find<QListWidget>(u"NickList"_s);
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        out.sort();
        return out;
    }
    // The colour of the entry with exactly this text; invalid when there is none.
    QColor Entry(const QString& text) const {
        chat->CatchUpHistory();
        const QTextDocument* doc = Find<QTextBrowser>(u"ChatHistory"_s)->document();
        for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
            if (b.text() == text) return test::EntryColour(b);
        }
        return QColor();
    }
    void Say(const QString& text, const char* button) {
        Find<QLineEdit>(u"SendBox"_s)->setText(text);
        QTest::mouseClick(chat->findChild<QWidget*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
};

class ChatOnLocalService : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsSource(&settings);
        ASSERT_TRUE(server.Ok());
        for (size_t i = 0; i < members.size(); ++i) {
            members[i] = std::make_unique<Member>();
            Member& m = *members[i];
            m.nick = std::array{"ann", "bob", "cat"}[i];
            m.wol.LogOnResult = [&m](int result) { m.logOn = result; };
            ASSERT_TRUE(m.wol.connect(server.BasePort()));
            m.wol.LogOn(WolInfo{m.nick, "secret"}, false);
        }
        ASSERT_TRUE(Pump([&] { return All([](Member& m) { return m.logOn == 0; }); }));
        for (auto& m : members) {
            m->chat = new ChatUI;
            m->chat->SetWOL(&m->wol);
            m->chat->show();
            m->chat->SetUser(m->nick);
            m->chat->ConnectChat();
        }
    }
    void TearDown() override {
        for (auto& m : members) {
            if (m && m->chat) delete m->chat.data();
        }
        SetSettingsSource(nullptr);
    }

    bool All(const std::function<bool(Member&)>& test) {
        for (auto& m : members) {
            if (!test(*m)) return false;
        }
        return true;
    }
    bool Pump(const std::function<bool()>& done) {
        return test::PumpUntil(done, [&] {
            for (auto& m : members) m->wol.PopulateBuff();
            QApplication::processEvents();
        });
    }

    test::ScopedRegistry registry;
    test::FakeSettings settings;
    test::LocalServer server{/*demo=*/false};
    std::array<std::unique_ptr<Member>, 3> members;
};

TEST_F(ChatOnLocalService, threeUsersTalkInALobbyAndOneMovesOn) {
    const QStringList everyone{u"ann"_s, u"bob"_s, u"cat"_s};
    ASSERT_TRUE(Pump([&] {
        return All([&](Member& m) { return m.chat->ChatActive() && m.Nicks() == everyone; });
    }));
    Member& ann = *members[0];
    Member& bob = *members[1];
    Member& cat = *members[2];
    EXPECT_EQ(ann.Find<QTreeWidget>(u"LobList"_s)->topLevelItemCount(), 10);
    EXPECT_EQ(ann.Find<QTreeWidget>(u"LobList"_s)->topLevelItem(0)->text(1), u"(3)"_s);
    EXPECT_TRUE(cat.Entry(u"Joined channel Azure Barracks"_s).isValid());

    ann.Say(u"hello"_s, "SendBtn");
    bob.Say(u"waves"_s, "EmoteBtn");
    ASSERT_TRUE(Pump([&] {
        return bob.Entry(u"ann: hello"_s).isValid() && cat.Entry(u"ann: hello"_s).isValid() &&
               ann.Entry(u"bob waves"_s).isValid() && cat.Entry(u"bob waves"_s).isValid();
    }));
    EXPECT_EQ(cat.Entry(u"bob waves"_s), QColor(0, 150, 0));
    EXPECT_EQ(ann.Entry(u"ann: hello"_s), QColor(255, 128, 0));

    // A private line to ann only.
    auto* catNicks = cat.Find<QListWidget>(u"NickList"_s);
    QListWidgetItem* annRow = catNicks->findItems(u"ann"_s, Qt::MatchExactly).value(0);
    ASSERT_TRUE(annRow);
    QTest::mouseClick(catNicks->viewport(), Qt::LeftButton, {},
                      catNicks->visualItemRect(annRow).center());
    cat.Say(u"psst"_s, "SendBtn");
    ASSERT_TRUE(Pump([&] { return ann.Entry(u"cat: psst"_s).isValid(); }));
    EXPECT_EQ(ann.Entry(u"cat: psst"_s), QColor(0, 128, 255));

    // cat moves to the second lobby: the others see it leave, it sees itself alone there.
    auto* catLobbies = cat.Find<QTreeWidget>(u"LobList"_s);
    QTest::mouseClick(catLobbies->viewport(), Qt::LeftButton, {},
                      catLobbies->visualItemRect(catLobbies->topLevelItem(1)).center());
    ASSERT_TRUE(Pump([&] {
        return cat.chat->ChatActive() && cat.chat->CurrentLobby() == 2 &&
               cat.Nicks() == QStringList{u"cat"_s} &&
               ann.Nicks() == QStringList{u"ann"_s, u"bob"_s} &&
               bob.Nicks() == QStringList{u"ann"_s, u"bob"_s};
    }));
    EXPECT_TRUE(cat.Entry(u"Left channel Azure Barracks"_s).isValid());
    EXPECT_TRUE(cat.Entry(u"Joined channel Crimson Barracks"_s).isValid());
    EXPECT_EQ(ann.Find<QTreeWidget>(u"LobList"_s)->topLevelItem(0)->text(1), u"(2)"_s);

    // Lines of the old lobby no longer reach cat; closing bob's window takes bob out of ann's list.
    ann.Say(u"still here?"_s, "SendBtn");
    ASSERT_TRUE(Pump([&] { return bob.Entry(u"ann: still here?"_s).isValid(); }));
    EXPECT_FALSE(cat.Entry(u"ann: still here?"_s).isValid());
    EXPECT_FALSE(bob.Entry(u"cat: psst"_s).isValid());  // sent before, so it would be there
    bob.chat->close();
    ASSERT_TRUE(Pump([&] { return ann.Nicks() == QStringList{u"ann"_s}; }));
}

}  // namespace
}  // namespace vantor
