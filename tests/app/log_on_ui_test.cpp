// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

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

TEST(LogOnUI, everyOtherWayOutCountsAsCancel) {
    for (int way = 0; way < 3; ++way) {  // the button, the title bar, Escape
        Dialog d;
        d.ui.show();
        if (way == 0) QTest::mouseClick(d.cancel, Qt::LeftButton);
        if (way == 1) d.ui.close();
        if (way == 2) QTest::keyClick(&d.ui, Qt::Key_Escape);
        EXPECT_TRUE(d.ui.Canceled() && !d.ui.isVisible()) << way;
    }
}

}  // namespace
}  // namespace vantor::test
