// SPDX-License-Identifier: MIT
// Sessions page each other and the demo users through the bundled local service, with the real
// page windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "controls/vantor_btn.h"
#include "pages/ignore_list.h"
#include "pages/page_router.h"
#include "pages/page_ui.h"
#include "pages/page_win.h"
#include "session/conversation_log.h"
#include "session/wolcon.h"
#include "settings/settings_store.h"
#include "support/debug_recorder.h"
#include "support/file_bytes.h"
#include "support/local_server.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

class PagesOverTheService : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Ok());
        SaveSettingString("ServerHost", "127.0.0.1");
        SaveSettingLong("ServerPort", server.BasePort());
        SaveSettingLong("PageIn", 0x00FF00);   // green
        SaveSettingLong("PageOut", 0x0000FF);  // red
        InstallPageWindowFactory();
        LogOn(ann, "ann");
        LogOn(bob, "bob");
        LogOn(demo, "demo", "demo");
    }

    void TearDown() override {
        for (WOLCon* con : {&ann, &bob, &demo}) {
            con->CloseAllPageWin();
            con->Quit();
        }
        Ignores().Assign({});
        SetPageWindowFactory(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // One tick of the main window's timer for both sessions.
    bool Pump(const std::function<bool()>& done) {
        return test::PumpUntil(done, [this] {
            ann.PopulateBuff();
            bob.PopulateBuff();
            demo.PopulateBuff();
            QCoreApplication::processEvents();
        });
    }

    void LogOn(WOLCon& con, const std::string& nick, const std::string& password = "pw") {
        int result = -1;
        con.LogOnResult = [&result](LogOnResult r) { result = int(r); };
        ASSERT_TRUE(con.connect(server.BasePort()));
        con.LogOn(WolInfo{nick, password}, false);
        ASSERT_TRUE(Pump([&] { return result == 0; })) << nick << " could not log on";
        con.LogOnResult = nullptr;
    }

    static PageUI* WindowOf(WOLCon& con, const std::string& nick) {
        const auto conv = con.Pages().Find(nick);
        return conv ? dynamic_cast<PageUI*>(conv->Window()) : nullptr;
    }

    static void Type(PageUI* window, const QString& text) {
        auto* box = window->findChild<QLineEdit*>(QStringLiteral("SendBox"));
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // The colour of the history line that reads exactly so, or an invalid colour.
    static QColor ColourOfLine(PageUI* window, const QString& line) {
        const auto* history = window->findChild<QTextEdit*>(QStringLiteral("PageHistory"));
        for (QTextBlock b = history->document()->begin(); b.isValid(); b = b.next())
            if (b.text() == line) return b.begin().fragment().charFormat().foreground().color();
        return {};
    }

    static void Press(PageUI* window, const char* button) {
        QTest::mouseClick(window->findChild<VantorBtn*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }

    test::ScopedRegistry registry;
    test::LocalServer server{true};  // with the demo users: echo answers every page
    test::LogCapture log;
    WOLCon ann;
    WOLCon bob;
    WOLCon demo;
};

TEST_F(PagesOverTheService, eachSeesTheOthersLineInTheRightWindowAndColour) {
    const QColor in(0, 255, 0), out(255, 0, 0);
    ann.NewPageWin("bob");
    PageUI* annToBob = WindowOf(ann, "bob");
    ASSERT_NE(annToBob, nullptr);

    Type(annToBob, QStringLiteral("hello bob: are you there?"));
    ASSERT_TRUE(Pump([&] { return WindowOf(bob, "ann") != nullptr; }));
    PageUI* bobToAnn = WindowOf(bob, "ann");
    EXPECT_EQ(bobToAnn->windowTitle(), QStringLiteral("Paging \"ann\""));
    ASSERT_TRUE(Pump([&] {
        return ColourOfLine(bobToAnn, QStringLiteral("ann: hello bob: are you there?")).isValid();
    }));
    EXPECT_EQ(ColourOfLine(bobToAnn, QStringLiteral("ann: hello bob: are you there?")), in);
    EXPECT_EQ(ColourOfLine(annToBob, QStringLiteral("ann: hello bob: are you there?")), out);

    Type(bobToAnn, QStringLiteral("yes, here"));
    ASSERT_TRUE(
        Pump([&] { return ColourOfLine(annToBob, QStringLiteral("bob: yes, here")).isValid(); }));
    EXPECT_EQ(ColourOfLine(annToBob, QStringLiteral("bob: yes, here")), in);
    EXPECT_EQ(ColourOfLine(bobToAnn, QStringLiteral("bob: yes, here")), out);
    EXPECT_EQ(ann.Pages().Count(), 1u);
    EXPECT_EQ(bob.Pages().Count(), 1u);

    // Once bob has gone, ann's next line earns the offline notice.
    bob.CloseAllPageWin();
    bob.Quit();
    Type(annToBob, QStringLiteral("still there?"));
    EXPECT_TRUE(
        Pump([&] { return ColourOfLine(annToBob, QStringLiteral("User is offline!")).isValid(); }));

    // The title-bar button ends the conversation and frees its window.
    QPointer<PageUI> closed = annToBob;
    annToBob->close();
    EXPECT_EQ(ann.Pages().Count(), 0u);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
}

// demo ignores echo from the page window: echo's answers, to a page from that window or from
// nowhere, no longer fill or open one; once the button has stopped ignoring, they do again.
TEST_F(PagesOverTheService, echoIgnoredFromThePageWindowIsHeardAgainOnlyWhenUnignored) {
    const auto heard = [this](const char* text) {
        return log.Has("Page received from echo : \"" + std::string(text) + "\".");
    };
    demo.NewPageWin("echo");
    PageUI* window = WindowOf(demo, "echo");
    ASSERT_NE(window, nullptr);
    Type(window, QStringLiteral("one"));
    ASSERT_TRUE(Pump([&] { return ColourOfLine(window, QStringLiteral("echo: one")).isValid(); }));

    Press(window, "IgnoreBtn");
    EXPECT_EQ(window->findChild<VantorBtn*>(QStringLiteral("IgnoreBtn"))->BtnText(),
              QStringLiteral("UNIGNORE"));
    EXPECT_TRUE(Ignores().Contains("echo"));
    Type(window, QStringLiteral("two"));
    ASSERT_TRUE(Pump([&] { return heard("two"); }));
    EXPECT_TRUE(ColourOfLine(window, QStringLiteral("demo: two")).isValid());
    EXPECT_FALSE(ColourOfLine(window, QStringLiteral("echo: two")).isValid());
    const std::string logged = test::ReadBytes(LogPath(LogRoot(), "demo", "echo"));
    EXPECT_NE(logged.find("demo: two"), std::string::npos);
    EXPECT_EQ(logged.find("echo: two"), std::string::npos);

    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    demo.PageUser("echo", "three");
    ASSERT_TRUE(Pump([&] { return heard("three"); }));
    EXPECT_EQ(demo.Pages().Count(), 0u);

    // Opened again, the window says echo is ignored; its button stops that.
    demo.NewPageWin("echo");
    window = WindowOf(demo, "echo");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->findChild<VantorBtn*>(QStringLiteral("IgnoreBtn"))->BtnText(),
              QStringLiteral("UNIGNORE"));
    Press(window, "IgnoreBtn");
    EXPECT_FALSE(Ignores().Contains("echo"));
    Type(window, QStringLiteral("four"));
    ASSERT_TRUE(Pump([&] { return ColourOfLine(window, QStringLiteral("echo: four")).isValid(); }));

    window->close();
    demo.PageUser("echo", "five");
    ASSERT_TRUE(Pump([&] { return WindowOf(demo, "echo") != nullptr; }));
    window = WindowOf(demo, "echo");
    ASSERT_TRUE(Pump([&] { return ColourOfLine(window, QStringLiteral("echo: five")).isValid(); }));
}

}  // namespace
}  // namespace vantor
