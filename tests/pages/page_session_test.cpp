// SPDX-License-Identifier: MIT
// Two sessions page each other through the bundled local service, with the real page windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "pages/page_router.h"
#include "pages/page_ui.h"
#include "pages/page_win.h"
#include "session/wolcon.h"
#include "settings/settings_store.h"
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
    }

    void TearDown() override {
        for (WOLCon* con : {&ann, &bob}) {
            con->CloseAllPageWin();
            con->Quit();
        }
        SetPageWindowFactory(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // One tick of the main window's timer for both sessions.
    bool Pump(const std::function<bool()>& done) {
        return test::PumpUntil(done, [this] {
            ann.PopulateBuff();
            bob.PopulateBuff();
            QCoreApplication::processEvents();
        });
    }

    void LogOn(WOLCon& con, const std::string& nick) {
        int result = -1;
        con.LogOnResult = [&result](LogOnResult r) { result = int(r); };
        ASSERT_TRUE(con.connect(server.BasePort()));
        con.LogOn(WolInfo{nick, "pw"}, false);
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

    test::ScopedRegistry registry;
    test::LocalServer server;
    WOLCon ann;
    WOLCon bob;
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

}  // namespace
}  // namespace vantor
