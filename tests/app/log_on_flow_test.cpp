// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QApplication>
#include <QTextEdit>

#include "app/motd_ui.h"
#include "app_fixture.h"
#include "controls/prog_bar.h"
#include "pages/page_router.h"

namespace vantor::test {
namespace {

TEST(LogOnFlow, clickToWelcomeSendsLogOnThenCodepageOptionsAndBuddyRequest) {
    MainWindowFixture f;
    SaveSettingLong("ShowMOTD", 1);
    ASSERT_TRUE(f.LogOnAsBob());

    EXPECT_EQ(f.Text("Status"), QStringLiteral("Welcome to Westwood Online!"));
    EXPECT_EQ(f.main->windowTitle(),
              QStringLiteral("Vantor Desktop BETA 1.0 - Welcome to Westwood Online!"));
    EXPECT_EQ(f.Btn("LogInBtn")->BtnText(), QStringLiteral("LOGOUT"));
    EXPECT_TRUE(f.Btn("LogInBtn")->Enabled());
    EXPECT_TRUE(f.Btn("ChatBtn")->Enabled());
    EXPECT_EQ(GetSettingString("LastNickName", ""), "bob");

    ASSERT_TRUE(f.peer.WaitForLine("GETBUDDY"));
    const auto& lines = f.peer.Lines();
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[2] + "|" + lines[5] + "|" + lines[6] + "|" + lines[7],
              "NICK bob|SETCODEPAGE 1252|SETOPT 17,33|GETBUDDY");

    auto* motd = f.main->findChild<MOTDUI*>();
    ASSERT_NE(motd, nullptr);
    EXPECT_EQ(motd->MOTD(), QStringLiteral("Hello there"));
    QPointer<MOTDUI> gone = motd;
    QTest::keyClick(motd->findChild<QTextEdit*>(QStringLiteral("MOTDText")), Qt::Key_Return);
    EXPECT_TRUE(PumpUi([&] { return gone.isNull(); }));
}

TEST(LogOnFlow, cancellingTheDialogChangesNothingAndSavesNoNickname) {
    MainWindowFixture f;
    SaveSettingString("LastNickName", "carol");
    f.main = std::make_unique<VantorChatUI>();
    f.main->SetMessageBoxes(&f.boxes);
    QString offered;
    f.main->SetLogOnPrompt([&](QWidget*, const QString& last) {
        offered = last;
        return LogOnAnswer{true, QStringLiteral("dave"), QStringLiteral("pw")};
    });
    f.Click("LogInBtn");
    EXPECT_EQ(offered, QStringLiteral("carol"));
    EXPECT_EQ(GetSettingString("LastNickName", ""), "carol");
    EXPECT_EQ(f.Text("LogAs"), QStringLiteral("Not Connected"));
    f.ExpectReadyToLogOn();
    EXPECT_FALSE(f.peer.Accept(std::chrono::milliseconds(100)));
}

// A log-on that ends before the welcome: its box (none when the service only closes), the dialog
// again after a wrong password but only once its box is shown, and the window ready again.
TEST(LogOnFlow, refusedOrCutLogOnShowsItsBoxAndResets) {
    struct Row {
        const char* reply;  // none: the service closes the connection
        const char* box;    // "title|text"
        int prompts;
    } const rows[] = {
        {":s 433 * bob :Nickname is already in use",
         "Nickname in use|Your nickname is currently in use, please log on using a different "
         "nickname.",
         1},
        {":s 431 * :No nickname given",
         "Nickname not provided|You didn't provide a nickname to logon with.", 1},
        {"ERROR :Closing Link: bob[127.0.0.1] (Password needed for that nickname.)",
         "Incorrect Password|Password incorrect.", 2},
        {nullptr, "", 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.box);
        MainWindowFixture f;
        // The classic log-on: no CANCEL while it runs, and no reason in the status line.
        SaveSettingLong("LogOnCancel", 0);
        SaveSettingLong("StatusReasons", 0);
        f.answers.push_back(LogOnAnswer{false, QStringLiteral("bob"), QStringLiteral("pw")});
        int promptsAtBox = -1;
        f.boxes.onShow = [&](const RecordingBoxes::Box&) { promptsAtBox = f.prompts; };
        f.Click("LogInBtn");
        EXPECT_EQ(f.Text("LogAs"), QStringLiteral("Logging in..."));
        EXPECT_EQ(f.main->windowTitle(), QStringLiteral("Vantor Desktop BETA 1.0 - Logging in..."));
        EXPECT_FALSE(f.Btn("LogInBtn")->Enabled());
        ASSERT_TRUE(f.peer.Accept());
        ASSERT_TRUE(f.peer.WaitForLines(5));
        if (r.reply) {
            f.peer.SendLine(r.reply);
        } else {
            f.peer.CloseClient();
        }
        const std::size_t boxes = *r.box ? 1 : 0;
        ASSERT_TRUE(PumpUi([&] {
            return f.prompts == r.prompts && f.boxes.boxes.size() == boxes &&
                   f.Btn("LogInBtn")->Enabled();
        }));
        EXPECT_EQ(f.Box(0), QString::fromLatin1(r.box));
        if (boxes) {
            EXPECT_EQ(f.boxes.boxes[0].icon, BoxIcon::Exclamation);
            EXPECT_EQ(promptsAtBox, 1);
        }
        EXPECT_EQ(f.Text("Status"), QStringLiteral("Not connected to Westwood Online"));
        EXPECT_EQ(f.Text("LogAs"), QStringLiteral("Not Connected."));
        f.ExpectReadyToLogOn();  // a second dialog was cancelled
        if (r.prompts == 1 && boxes) {
            EXPECT_TRUE(f.peer.WaitForLine("QUIT"));
        }
    }
}

// A log-on the service never finished left LOG off with no way out but QUIT.
TEST(LogOnFlow, cancelOnTheLogInButtonEndsALogOnTheServiceDoesNotFinish) {
    MainWindowFixture f;
    f.answers.push_back(LogOnAnswer{false, QStringLiteral("bob"), QStringLiteral("pw")});
    f.Click("LogInBtn");
    ASSERT_TRUE(f.peer.Accept());
    ASSERT_TRUE(f.peer.WaitForLines(5));
    EXPECT_EQ(f.Btn("LogInBtn")->BtnText(), QStringLiteral("CANCEL"));
    EXPECT_TRUE(f.Btn("LogInBtn")->Enabled());
    EXPECT_EQ(f.Text("LogAs"), QStringLiteral("Logging in..."));
    f.Click("LogInBtn");
    EXPECT_TRUE(f.peer.WaitForLine("QUIT"));
    EXPECT_EQ(f.Text("LogAs"), QStringLiteral("Not Connected."));
    EXPECT_EQ(f.Text("Status"), QStringLiteral("Not connected to Westwood Online"));
    f.ExpectReadyToLogOn();
    EXPECT_TRUE(f.boxes.boxes.empty());
    EXPECT_EQ(f.prompts, 1);
}

TEST(LogOnFlow, serverErrorWhileOnlineLogsOffCompletelyBeforeItsBox) {
    MainWindowFixture f;
    ASSERT_TRUE(f.LogOnWithList("alice`carol"));
    QTreeWidget* list = f.List();
    int columnsAtBox = -1;
    QString logAsAtBox;
    f.boxes.onShow = [&](const RecordingBoxes::Box&) {
        columnsAtBox = list->columnCount() + list->topLevelItemCount();
        logAsAtBox = f.Text("LogAs");
    };
    f.peer.SendLine("ERROR :Closing Link: bob[127.0.0.1] (Killed)");
    ASSERT_TRUE(PumpUi([&] { return !f.boxes.boxes.empty(); }));
    EXPECT_EQ(f.boxes.boxes[0].icon, BoxIcon::Critical);
    EXPECT_EQ(f.Box(0), QStringLiteral("Error!|Error 0 has occurred."));
    EXPECT_EQ(f.Text("Status"), QStringLiteral("Killed"));  // the reason was dropped before
    EXPECT_EQ(columnsAtBox, 0);
    EXPECT_EQ(logAsAtBox, QStringLiteral("Not Connected."));
    EXPECT_EQ(f.boxes.boxes.size(), 1u);  // quitting the dead link is no second error
    EXPECT_EQ(f.Btn("LogInBtn")->BtnText(), QStringLiteral("LOG"));
}

TEST(LogOnFlow, logOffClosesChatAndPagesSendsQuitAndEmptiesTheList) {
    MainWindowFixture f;
    QPointer<QWidget> chat;
    int chatClosedReports = 0;
    f.main->SetChatOpener([&](VantorChatUI& main) {
        auto* w = new QWidget;
        chat = w;
        QObject::connect(w, &QObject::destroyed, &main, [&] { ++chatClosedReports; });
        w->show();
        return w;
    });
    ASSERT_TRUE(f.LogOnWithList("alice`carol"));
    f.Click("ChatBtn");
    ASSERT_FALSE(chat.isNull());
    EXPECT_EQ(f.main->Cht(), chat.data());
    EXPECT_FALSE(f.Btn("ChatBtn")->Enabled());
    f.main->WOL().NewPageWin("alice");
    f.main->WOL().NewPageWin("carol");
    ASSERT_EQ(f.main->WOL().Pages().Count(), 2u);
    f.Find<ProgBar>("ProgBar")->SetValue(40);

    f.Click("LogInBtn");
    EXPECT_EQ(f.main->Cht(), nullptr);
    EXPECT_TRUE(PumpUi([&] { return chat.isNull(); }));
    EXPECT_EQ(f.main->WOL().Pages().Count(), 0u);
    EXPECT_TRUE(f.peer.WaitForLine("QUIT"));
    EXPECT_EQ(f.List()->topLevelItemCount() + f.List()->columnCount(), 0);
    EXPECT_EQ(f.Find<ProgBar>("ProgBar")->Value(), 0);
    EXPECT_EQ(f.Text("LogAs"), QStringLiteral("Not Connected."));
    EXPECT_EQ(f.main->windowTitle(), QStringLiteral("Vantor Desktop BETA 1.0"));
    f.ExpectReadyToLogOn();
    for (const char* b : {"ChatBtn", "PageBud", "AddBud", "DelBud", "RefreshBud", "ReOrdBud"})
        EXPECT_FALSE(f.Btn(b)->Enabled()) << b;
    EXPECT_TRUE(f.boxes.boxes.empty());
}

TEST(LogOnFlow, failingConnectReportsEachFailureAndLeavesNoTimerRunning) {
    MainWindowFixture f;
    SaveSettingLong("StatusReasons", 0);  // the classic texts
    SaveSettingLong("ServerPort", ClosedPort());
    f.answers.push_back(LogOnAnswer{false, QStringLiteral("bob"), QStringLiteral("pw")});
    f.Click("LogInBtn");

    // One box for the connect and one for each log-on line that could not go out.
    ASSERT_EQ(f.boxes.boxes.size(), 6u);
    EXPECT_EQ(f.Box(0), QStringLiteral("Error!|Error 501 has occurred."));
    for (const auto& box : f.boxes.boxes) EXPECT_EQ(box.icon, BoxIcon::Critical);
    EXPECT_EQ(f.Text("Status"), QStringLiteral("Logging in..."));
    f.ExpectReadyToLogOn();
    QTest::qWait(50);  // a stray tick against the dead socket would show up as another box
    EXPECT_EQ(f.boxes.boxes.size(), 6u);
}

}  // namespace
}  // namespace vantor::test
