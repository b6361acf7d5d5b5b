// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "app/log_on_ui.h"
#include "controls/vantor_btn.h"
#include "support/pump.h"

namespace vantor::test {
namespace {

struct Dialog {
    LogOnUI ui;
    QLineEdit* nick = ui.findChild<QLineEdit*>(QStringLiteral("NickName"));
    QLineEdit* pass = ui.findChild<QLineEdit*>(QStringLiteral("PassBox"));
    VantorBtn* logOn = ui.findChild<VantorBtn*>(QStringLiteral("LogOnBtn"));
    VantorBtn* cancel = ui.findChild<VantorBtn*>(QStringLiteral("CancelBtn"));
};

TEST(LogOnUI, limitsInputMasksPasswordAndEnablesLogOnOnlyWithBoth) {
    Dialog d;
    EXPECT_EQ(d.ui.windowTitle(), QStringLiteral("Log on to Westwood Online"));
    EXPECT_FALSE(d.ui.Canceled());
    QTest::keyClicks(d.nick, QStringLiteral("abcdefghijkl"));
    EXPECT_EQ(d.nick->text(), QStringLiteral("abcdefghi"));
    EXPECT_FALSE(d.logOn->Enabled());
    QTest::keyClicks(d.pass, QStringLiteral("123456789"));
    EXPECT_EQ(d.pass->text(), QStringLiteral("12345678"));
    EXPECT_EQ(d.pass->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(d.logOn->Enabled());
    d.nick->clear();
    EXPECT_FALSE(d.logOn->Enabled());
    EXPECT_EQ(d.nick->accessibleName(), QStringLiteral("Nickname:"));
    EXPECT_EQ(d.pass->accessibleName(), QStringLiteral("Password:"));
}

TEST(LogOnUI, enterLogsOnOnlyWhenEnabledAndHandsOverTheTexts) {
    Dialog d;
    d.ui.show();
    QTest::keyClicks(d.nick, QStringLiteral("bob"));
    QTest::keyClick(d.nick, Qt::Key_Return);
    EXPECT_TRUE(d.ui.isVisible());  // no password yet: Enter does nothing
    QTest::keyClicks(d.pass, QStringLiteral("pw"));
    QTest::keyClick(d.pass, Qt::Key_Return);
    EXPECT_FALSE(d.ui.isVisible());
    EXPECT_FALSE(d.ui.Canceled());
    EXPECT_EQ(d.ui.Nick(), QStringLiteral("bob"));
    EXPECT_EQ(d.ui.Pass(), QStringLiteral("pw"));
}

TEST(LogOnUI, filledNicknameSendsFocusToPasswordAndEmptyNickIsIgnored) {
    Dialog d;
    d.ui.SetNick(QStringLiteral("carol"));
    d.ui.SetNick(QString());
    EXPECT_EQ(d.ui.Nick(), QStringLiteral("carol"));
    EXPECT_EQ(d.nick->text(), QStringLiteral("carol"));
    d.ui.show();
    d.ui.activateWindow();
    EXPECT_TRUE(PumpUntil([&] { return d.pass->hasFocus(); }, [] { QTest::qWait(5); }));
}

TEST(LogOnUI, everyOtherWayOutCountsAsCancel) {
    {
        Dialog d;
        d.ui.show();
        QTest::mouseClick(d.cancel, Qt::LeftButton);
        EXPECT_TRUE(d.ui.Canceled());
        EXPECT_FALSE(d.ui.isVisible());
    }
    {
        Dialog d;
        d.ui.show();
        d.ui.close();
        EXPECT_TRUE(d.ui.Canceled());
        EXPECT_FALSE(d.ui.isVisible());
    }
    {
        Dialog d;
        d.ui.show();
        QTest::keyClick(&d.ui, Qt::Key_Escape);
        EXPECT_TRUE(d.ui.Canceled());
        EXPECT_FALSE(d.ui.isVisible());
    }
}

}  // namespace
}  // namespace vantor::test
