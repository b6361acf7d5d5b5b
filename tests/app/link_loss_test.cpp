// SPDX-License-Identifier: MIT
// The main connection lost while logged on: noticed, told, and mended by logging on again.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>

#include "app/motd_ui.h"
#include "app_fixture.h"
#include "chat/chat_ui.h"
#include "pages/page_router.h"
#include "pages/page_ui.h"
#include "transport/wolcon2.h"

namespace vantor::test {
namespace {

constexpr const char* kLobby = "#Lob_12_1";

bool Contains(const std::vector<std::string>& lines, std::string_view prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.starts_with(prefix); });
}

// A logged-on main window with a clock of the test's own, the lobby chat and a page window open.
struct Outage {
    MainWindowFixture f;
    double now = 0;
    std::vector<std::string> logOnLines;
    QPointer<ChatUI> chat;
    PageUI* page = nullptr;

    Outage() {
        InstallPageWindowFactory();
        f.main->Session().Reconnect().SetClock([this] { return now; });
        f.main->Session().Reconnect().SetJitter([](double) { return 0.0; });
    }
    ~Outage() { SetPageWindowFactory(nullptr); }

    // An empty list, so no location search opens connections of its own.
    bool LogOn() {
        if (!f.LogOnWithList("")) return false;
        const auto& lines = f.peer.Lines();
        logOnLines.assign(lines.begin(), lines.begin() + 5);
        return true;
    }

    // The service's side of LIST and JOIN, up to "Chat is active.".
    bool JoinLobby() {
        if (!PumpUi([&] { return Contains(f.peer.Lines(), "LIST "); })) return false;
        f.peer.SendLine(":s 321 bob Channel :Users Name");
        f.peer.SendLine(std::string(":s 327 bob ") + kLobby + " 5 0 1");
        f.peer.SendLine(":s 323 bob :End of LIST");
        return AnswerJoin();
    }
    bool AnswerJoin() {
        if (!PumpUi([&] { return Contains(f.peer.Lines(), std::string("JOIN ") + kLobby); }))
            return false;
        f.peer.SendLine(std::string(":bob!u@h JOIN :0,0 ") + kLobby);
        f.peer.SendLine(std::string(":s 353 bob = ") + kLobby + " :bob carl");
        f.peer.SendLine(std::string(":s 366 bob ") + kLobby + " :End of names");
        return PumpUi([&] { return chat && chat->ChatActive(); });
    }

    bool InLobbyWithPage() {
        if (!LogOn()) return false;
        f.Click("ChatBtn");
        chat = qobject_cast<ChatUI*>(f.main->Cht());
        if (!chat || !JoinLobby()) return false;
        if (!f.main->WOL().NewPageWin("alice")) return false;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<PageUI*>(w)) page = p;
        return page != nullptr;
    }

    QString ChatText() const {
        if (!chat) return {};
        chat->CatchUpHistory();
        return chat->findChild<QTextEdit*>(QStringLiteral("ChatHistory"))->toPlainText();
    }
    QString PageText() const { return page ? page->HistoryText() : QString(); }

    // Closes the service's side and runs receive passes until the window has noticed.
    bool LoseLink() {
        f.peer.CloseClient();
        return PumpUntil([&] { return f.Text("Status").startsWith(u"Connection lost."); },
                         [&] { f.main->PumpSessions(); });
    }
    // Lets the clock reach the next attempt and the window make it.
    void Advance(double seconds) {
        now += seconds;
        f.main->PumpSessions();
    }
};

TEST(LinkLoss, reconnectLogsOnAgainRejoinsTheLobbyAndTellsBothWindows) {
    Outage o;
    SaveSettingLong("ShowMOTD", 1);
    ASSERT_TRUE(o.InLobbyWithPage());
    const auto motds = o.f.main->findChildren<MOTDUI*>().size();
    QTreeWidget* list = o.f.List();
    new QTreeWidgetItem(list, QStringList{QStringLiteral("stale")});

    ASSERT_TRUE(o.LoseLink());
    EXPECT_EQ(o.f.Text("Status"), QStringLiteral("Connection lost. Next attempt in 2 seconds."));
    EXPECT_EQ(o.f.Text("LogAs"), QStringLiteral("Connection lost."));
    EXPECT_TRUE(o.ChatText().endsWith(u"Connection lost."));
    EXPECT_TRUE(o.PageText().endsWith(u"Connection lost."));
    EXPECT_EQ(o.f.Btn("LogInBtn")->BtnText(), QStringLiteral("LOGOUT"));

    // A page typed while down is refused where it was typed, and nothing is sent (the chat
    // window's own tests refuse its lines the same way).
    auto* pageBox = o.page->findChild<QLineEdit*>(QStringLiteral("SendBox"));
    pageBox->setText(QStringLiteral("are you there"));
    QTest::keyClick(pageBox, Qt::Key_Return);
    EXPECT_TRUE(o.PageText().endsWith(u"Not connected: the page was not sent."));
    EXPECT_TRUE(o.f.boxes.boxes.empty());

    o.Advance(1.5);
    EXPECT_FALSE(o.f.peer.Accept(std::chrono::milliseconds(50)));
    o.Advance(0.5);
    ASSERT_TRUE(o.f.peer.Accept());
    ASSERT_TRUE(o.f.peer.WaitForLines(5));
    const auto& again = o.f.peer.Lines();
    EXPECT_EQ(std::vector<std::string>(again.begin(), again.begin() + 5), o.logOnLines);
    o.f.peer.SendLine(":s 375 bob :- Welcome");
    o.f.peer.SendLine(":s 372 bob :- <news>Hello again</news>");
    o.f.peer.SendLine(":s 376 bob :End of MOTD");
    ASSERT_TRUE(PumpUi([&] { return o.f.Text("LogAs") == QStringLiteral("bob"); }));
    ASSERT_TRUE(o.f.peer.WaitForLine("GETBUDDY"));
    o.f.peer.SendLine(":s 333 bob");
    EXPECT_TRUE(PumpUi([&] { return list->topLevelItemCount() == 0; }));  // filled afresh
    ASSERT_TRUE(o.AnswerJoin());
    EXPECT_TRUE(o.ChatText().contains(u"Reconnected."));
    EXPECT_TRUE(o.PageText().endsWith(u"Reconnected."));
    EXPECT_EQ(o.f.main->findChildren<MOTDUI*>().size(), motds);
    EXPECT_FALSE(o.f.main->Session().Reconnect().Active());
    EXPECT_FALSE(Contains(o.f.peer.Lines(), "PAGE "));
    EXPECT_TRUE(o.f.boxes.boxes.empty());
}

TEST(LinkLoss, attemptsFollowTheBackOffUntilLogout) {
    Outage o;
    ASSERT_TRUE(o.LogOn());
    ASSERT_TRUE(o.LoseLink());
    SaveSettingLong("ServerPort", ClosedPort());  // the service refuses connections for a while
    std::vector<double> attempts;
    for (int step = 0; step < 140; ++step) {
        const int before = o.f.main->Session().Reconnect().Attempts();
        o.Advance(0.5);
        if (o.f.main->Session().Reconnect().Attempts() != before) attempts.push_back(o.now);
    }
    EXPECT_EQ(attempts, (std::vector<double>{2, 6, 14, 30, 62}));
    EXPECT_EQ(o.f.Text("Status"), QStringLiteral("Connection lost. Next attempt in 52 seconds."));
    EXPECT_TRUE(o.f.boxes.boxes.empty());

    o.f.Click("LogInBtn");
    EXPECT_FALSE(o.f.main->Session().Reconnect().Active());
    o.f.ExpectReadyToLogOn();
    EXPECT_EQ(o.f.Text("LogAs"), QStringLiteral("Not Connected."));
    o.Advance(600);
    EXPECT_EQ(o.f.main->Session().Reconnect().Attempts(), 0);
    EXPECT_TRUE(o.f.boxes.boxes.empty());
}

TEST(LinkLoss, refusedLogOnOnTheWayBackStopsRetryingWithTheUsualMessage) {
    Outage o;
    ASSERT_TRUE(o.InLobbyWithPage());
    ASSERT_TRUE(o.LoseLink());
    o.Advance(2);
    ASSERT_TRUE(o.f.peer.Accept());
    ASSERT_TRUE(o.f.peer.WaitForLines(5));
    o.f.peer.SendLine(":s 433 * bob :Nickname is already in use");
    ASSERT_TRUE(PumpUi([&] { return !o.f.boxes.boxes.empty(); }));
    EXPECT_EQ(o.f.Box(0), QStringLiteral("Nickname in use|Your nickname is currently in use, "
                                         "please log on using a different nickname."));
    EXPECT_FALSE(o.f.main->Session().Reconnect().Active());
    o.f.ExpectReadyToLogOn();
    EXPECT_EQ(o.f.main->Cht(), nullptr);
    EXPECT_EQ(o.f.main->WOL().Pages().Count(), 0u);
    o.Advance(600);
    EXPECT_FALSE(o.f.peer.Accept(std::chrono::milliseconds(50)));
    EXPECT_EQ(o.f.boxes.boxes.size(), 1u);
}

TEST(LinkLoss, withoutAutoReconnectTheClientLogsOffCleanlyAndSaysSo) {
    Outage o;
    SaveSettingLong("AutoReconnect", 0);
    ASSERT_TRUE(o.InLobbyWithPage());
    ASSERT_TRUE(o.LoseLink());
    o.f.ExpectReadyToLogOn();
    EXPECT_EQ(o.f.Text("Status"), QStringLiteral("Connection lost."));
    EXPECT_EQ(o.f.Text("LogAs"), QStringLiteral("Not Connected."));
    EXPECT_EQ(o.f.main->Cht(), nullptr);
    EXPECT_TRUE(PumpUi([&] { return o.chat.isNull(); }));
    EXPECT_EQ(o.f.main->WOL().Pages().Count(), 0u);
    EXPECT_FALSE(o.f.main->Session().Reconnect().Active());
    EXPECT_TRUE(o.f.boxes.boxes.empty());
}

// A send that finds no socket logs off once, with one box: the "PART" of the closing chat
// window fails too, and must not start the log-off again.
TEST(LinkLoss, lineOnADeadLinkGivesOneBoxAndOneLogOff) {
    Outage o;
    ASSERT_TRUE(o.InLobbyWithPage());
    o.f.main->WOL().Interface().Disconnect();
    auto* chatBox = o.chat->findChild<QLineEdit*>(QStringLiteral("SendBox"));
    chatBox->setText(QStringLiteral("hello"));
    QTest::keyClick(chatBox, Qt::Key_Return);
    EXPECT_TRUE(PumpUi([&] { return o.chat.isNull(); }));
    ASSERT_EQ(o.f.boxes.boxes.size(), 1u);
    EXPECT_EQ(o.f.Box(0), QStringLiteral("Error!|Error 101 has occurred."));
    o.f.ExpectReadyToLogOn();
}

TEST(LinkLoss, mainConnectionCarriesKeepAlive) {
    Outage o;
    ASSERT_TRUE(o.LogOn());
    const int fd = o.f.main->WOL().Interface().Handle();
    auto option = [fd](int level, int name) {
        int value = -1;
        socklen_t size = sizeof value;
        return ::getsockopt(fd, level, name, &value, &size) == 0 ? value : -2;
    };
    EXPECT_NE(option(SOL_SOCKET, SO_KEEPALIVE), 0);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPIDLE), 60);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPINTVL), 10);
    EXPECT_EQ(option(IPPROTO_TCP, TCP_KEEPCNT), 3);
}

}  // namespace
}  // namespace vantor::test
