// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QStyleHints>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/about_ui.h"
#include "app/loader.h"
#include "app_fixture.h"
#include "controls/prog_bar.h"
#include "diagnostics/debug_log.h"
#include "settings/settings_source.h"
#include "support/file_bytes.h"
#include "support/layout_check.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(VantorChatUI, opensOfflineWithItsTextsAndOnlyTheOfflineButtonsEnabled) {
    MainWindowFixture f;
    EXPECT_EQ(f.main->windowTitle(), QStringLiteral("Vantor Desktop BETA 1.0"));
    EXPECT_EQ(f.Text("LogAs"), QStringLiteral("Not Connected"));
    EXPECT_EQ(f.Text("Status"), QStringLiteral("Not connected to Westwood Online"));
    QStringList words, on;
    for (const char* name : {"LogInBtn", "ChatBtn", "AboutBtn", "Quit", "Options", "PageBud",
                             "AddBud", "DelBud", "RefreshBud", "ReOrdBud"}) {
        words << f.Btn(name)->BtnText();
        if (f.Btn(name)->Enabled()) on << QString::fromLatin1(name);
    }
    EXPECT_EQ(words.join(u' '),
              QStringLiteral("LOG CHAT ABOUT QUIT OPTIONS PAGE ADD DEL REFRESH ORDER"));
    EXPECT_EQ(on.join(u' '), QStringLiteral("LogInBtn AboutBtn Quit Options"));
    EXPECT_FALSE(f.Timer("BuffTimer")->isActive() || f.Timer("RefBuddy")->isActive());

    // A status shows in the caption too; an empty one falls back to the offline texts.
    f.main->SetStatus(QStringLiteral("Logging in..."));
    EXPECT_EQ(f.main->windowTitle(), QStringLiteral("Vantor Desktop BETA 1.0 - Logging in..."));
    f.main->SetStatus(QString());
    EXPECT_EQ(f.main->windowTitle(), QStringLiteral("Vantor Desktop BETA 1.0"));
    EXPECT_EQ(f.Text("Status"), QStringLiteral("Not connected to Westwood Online"));
}

// Positions in pixels from the twip rules: 15 twips to the pixel.
void ExpectLaidOutFor(MainWindowFixture& f, int w, int h) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    EXPECT_EQ(f.Find<QWidget>("BGImage")->geometry(), QRect(0, 0, w, h));
    const int right = w - 105;
    EXPECT_EQ(f.Btn("LogInBtn")->x(), right);
    EXPECT_EQ(f.Btn("ChatBtn")->pos(), QPoint(right, h - 137));
    EXPECT_EQ(f.Btn("AboutBtn")->pos(), QPoint(right, h - 89));
    EXPECT_EQ(f.Btn("Quit")->pos(), QPoint(right, h - 41));
    EXPECT_EQ(f.Btn("Options")->pos(), QPoint(w - 209, h - 41));
    for (const char* b : {"PageBud", "AddBud", "DelBud", "RefreshBud", "ReOrdBud"})
        EXPECT_EQ(f.Btn(b)->y(), h - 41) << b;
    EXPECT_EQ(f.Find<QWidget>("BuddyList")->size(), QSize(w - 228, h - 208));
    auto* bar = f.Find<QWidget>("ProgBar");
    EXPECT_EQ(QPoint(bar->width(), bar->y()), QPoint(w - 228, h - 65));

    EXPECT_EQ(f.main->size(), QSize(w, h));
    ExpectControlsApart(*f.main, QStringLiteral("BGImage"));
}

TEST(VantorChatUI, layoutFollowsResizeRulesAndSkipsMinimisedWindow) {
    MainWindowFixture f;
    f.main->show();
    ExpectLaidOutFor(f, f.main->width(), f.main->height());
    f.main->resize(1000, 700);
    ExpectLaidOutFor(f, 1000, 700);
    f.main->resize(f.main->minimumSize());
    ExpectLaidOutFor(f, f.main->minimumWidth(), f.main->minimumHeight());

    f.main->showMinimized();
    if (f.main->isMinimized()) {
        const QPoint quitBefore = f.Btn("Quit")->pos();
        f.main->resize(900, 600);
        EXPECT_EQ(f.Btn("Quit")->pos(), quitBefore);
        f.main->showNormal();
        ExpectLaidOutFor(f, f.main->width(), f.main->height());
    }
}

TEST(VantorChatUI, aboutBoxDisablesWindowTakesFocusAndReleasesItWhenFinished) {
    MainWindowFixture f;
    f.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.main.get()));
    f.Click("AboutBtn");
    auto* about = f.main->findChild<AboutUI*>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(f.main->ChildOpen() && !f.main->isEnabled());
    EXPECT_TRUE(about->isEnabled() && about->isVisible());

    f.main->activateWindow();
    EXPECT_TRUE(PumpUi([&] { return QApplication::activeWindow() == about; }));

    QPointer<AboutUI> gone = about;
    QTest::mouseClick(about->findChild<VantorBtn*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    EXPECT_TRUE(!f.main->ChildOpen() && f.main->isEnabled());
    EXPECT_TRUE(PumpUi([&] { return gone.isNull(); }));
}

// Escape closes page windows, never the main window: closing it ends the program.
TEST(VantorChatUI, escapeLeavesTheMainWindowOpen) {
    MainWindowFixture f;
    f.main->show();
    QApplication::setActiveWindow(f.main.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.main.get()));
    for (const char* focus : {"BuddyList", "LogInBtn"}) {
        f.Find<QWidget>(focus)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f.Find<QWidget>(focus), Qt::Key_Escape);
        EXPECT_TRUE(f.main->isVisible()) << focus;
    }
}

// A quick double click on LOGOUT logged off and at once opened the log-on dialog.
TEST(VantorChatUI, secondClickRightAfterTheButtonChangedItsWordIsIgnored) {
    MainWindowFixture f;  // scripted clicks never count as double clicks
    ASSERT_TRUE(f.LogOnAsBob());
    const int prompts = f.prompts;
    f.Click("LogInBtn");
    ASSERT_EQ(f.Btn("LogInBtn")->BtnText(), QStringLiteral("LOG"));
    // The next click comes "right after", and then long after.
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(60000);
    f.Click("LogInBtn");
    EXPECT_EQ(f.prompts, prompts);
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(0);
    f.Click("LogInBtn");
    EXPECT_EQ(f.prompts, prompts + 1);
}

// A 300-character nickname's log path (424 characters) pushed the reason off the status line.
TEST(VantorChatUI, aLongStatusIsShortenedInTheMiddleToFitItsLineAndTheCaption) {
    MainWindowFixture f;
    f.main->show();
    auto* status = f.Find<QLabel>("Status");
    const QString text = u"The conversation log /home/ann/.local/share/vantor-desktop/logs/ann/"_s +
                         QString(380, u'z') + u".log cannot be written."_s;
    f.main->SetStatus(text);
    EXPECT_NE(status->text(), text);
    EXPECT_TRUE(status->text().startsWith(u"The conversation log /home/ann/"_s));
    EXPECT_TRUE(status->text().endsWith(u".log cannot be written."_s));
    EXPECT_TRUE(status->text().contains(QChar(0x2026)));
    EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->width());
    EXPECT_EQ(status->toolTip(), text);
    const QString caption = f.main->windowTitle();
    EXPECT_TRUE(caption.startsWith(u"Vantor Desktop BETA 1.0 - The conversation log"_s));
    EXPECT_TRUE(caption.endsWith(u"cannot be written."_s));
    EXPECT_LT(caption.size(), text.size());

    // Wider, more of it shows; a short one shows whole.
    const QString narrow = status->text();
    f.main->resize(1200, 600);
    EXPECT_GT(status->text().size(), narrow.size());
    f.main->SetStatus(u"Logging in..."_s);
    EXPECT_EQ(status->text(), u"Logging in..."_s);
    EXPECT_EQ(status->toolTip(), QString());

    SaveSettingLong("ElideStatus", 0);
    f.main->SetStatus(text);
    EXPECT_EQ(status->text(), text);
    EXPECT_EQ(f.main->windowTitle(), u"Vantor Desktop BETA 1.0 - "_s + text);
}

// A settings file that could not be read: "" and 0 for everything, and not a word.
TEST(Loader, anUnreadableSettingsFileIsToldOnceAndItsDefaultsServe) {
    ScopedRegistry registry;
    test::WriteBytes(registry.Dir() / "blocker", "x");
    const std::filesystem::path file = registry.Dir() / "blocker" / "registry.reg";
    setenv("VANTOR_REGISTRY", file.c_str(), 1);  // the fixture puts it back
    RecordingBoxes boxes;
    StartUpHooks hooks;
    hooks.boxes = &boxes;
    {
        std::unique_ptr<Program> program = StartUp(hooks);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Exclamation);
        EXPECT_EQ(boxes.boxes[0].title, u"Settings not read"_s);
        EXPECT_EQ(boxes.boxes[0].text.toStdString(),
                  "The settings in " + file.string() + " cannot be read (its folder " +
                      file.parent_path().string() +
                      " cannot be made: not a directory), so the default settings are used and "
                      "the file is left as it is.");
        EXPECT_EQ(Settings().Get(setting::kServerHost), "localhost");
        EXPECT_EQ(Settings().Get(setting::kServerPort), 7000);
        EXPECT_EQ(Settings().Get(setting::kServer), 1);  // the options window's own default
        EXPECT_EQ(Settings().Get(setting::kAutoReconnect), 1);
        EXPECT_EQ(Settings().Get(setting::kLogConversations), 1);
        EXPECT_FALSE(Settings().Set(setting::kLastNickName, "bob"));
        ShutDownDebug();
    }
    EXPECT_EQ(ReadBytes(registry.Dir() / "blocker"), "x");
    EXPECT_EQ(GetSettingLong("PageIn", 33023), 0);  // the run is over: the classic store again
}

TEST(Loader, logsDumpStartThenSocketOutcomeAndShowsMainWindow) {
    for (int socketResult : {0, 10091}) {
        ScopedRegistry registry;
        SaveSettingLong("DumptoFile", 1);
        std::uint16_t askedVersion = 0;
        StartUpHooks hooks;
        hooks.socketStartUp = [&](std::uint16_t v) {
            askedVersion = v;
            return socketResult;
        };
        {
            std::unique_ptr<Program> program = StartUp(hooks);
            ASSERT_TRUE(program->main);
            EXPECT_TRUE(program->main->isVisible());
            ShutDownDebug();
        }
        EXPECT_EQ(askedVersion, 0x0202);
        const std::string dump = ReadBytes(registry.Dir() / "DebugDump.txt");
        EXPECT_TRUE(dump.starts_with(
            std::string("Debug dump initialized.\r\n") +
            (socketResult == 0 ? "Sockets initialized.\r\n" : "Socket initialization failed.\r\n")))
            << dump;
    }
}

}  // namespace
}  // namespace vantor::test
