// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

TEST(LogOnUI, limitsInputMasksThePasswordAndLogsOnOnlyWithBoth) {
    Dialog d;
    d.ui.show();
    QTest::keyClicks(d.nick, QStringLiteral("abcdefghijkl"));
    EXPECT_EQ(d.nick->text(), QStringLiteral("abcdefghi"));
    EXPECT_FALSE(d.logOn->Enabled());
    QTest::keyClicks(d.pass, QStringLiteral("123456789"));
    EXPECT_EQ(d.pass->text(), QStringLiteral("12345678"));
    EXPECT_EQ(d.pass->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(d.logOn->Enabled());
    d.nick->clear();
    EXPECT_FALSE(d.logOn->Enabled());
    QTest::keyClick(d.pass, Qt::Key_Return);
    EXPECT_TRUE(d.ui.isVisible());  // no nickname: Enter does nothing

    QTest::keyClicks(d.nick, QStringLiteral("bob"));
    QTest::keyClick(d.pass, Qt::Key_Return);
    EXPECT_FALSE(d.ui.isVisible() || d.ui.Canceled());
    EXPECT_EQ(d.ui.Nick() + u'|' + d.ui.Pass(), QStringLiteral("bob|12345678"));
}

// Types each character as a keyboard would, whatever its script.
void Type(QLineEdit* edit, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.mid(i, n));
        QApplication::sendEvent(edit, &press);
        i += n - 1;
    }
}

// Today "пароль" and "абвгде" both go out as "??????", and "ab cd" logs on as "ab".
TEST(LogOnUI, charactersTheWireCannotCarryAreRefusedWhenTypedOrPasted) {
    struct Case {
        bool password;
        bool paste;
        QString input;
        QString kept;
        QString hint;
    };
    const QString space = QStringLiteral("A nickname cannot contain spaces.");
    const QString western = QStringLiteral("Only Western European characters can be used.");
    const Case cases[] = {
        {false, false, QStringLiteral("ab cd"), QStringLiteral("abcd"), space},
        {false, true, QStringLiteral("ab cd"), QStringLiteral("abcd"), space},
        {false, false, QStringLiteral("a:b,c"), QStringLiteral("abc"),
         QStringLiteral("A nickname cannot contain \":\" or \",\".")},
        {false, false, QStringLiteral("\u0418\u0432\u0430\u043d"), QString(), western},
        {false, true, QStringLiteral("\u00c9mile\u20ac"), QStringLiteral("\u00c9mile\u20ac"), {}},
        {true, false, QStringLiteral("\u043f\u0430\u0440\u043e\u043b\u044c"), QString(), western},
        {true, true, QStringLiteral("\u0430\u0431\u0432\u0433\u0434\u0435"), QString(), western},
        {true, true, QStringLiteral("p w\u20ac\U0001F600"), QStringLiteral("p w\u20ac"), western},
        {true, false, QStringLiteral("a:b, c"), QStringLiteral("a:b, c"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        Dialog d;
        QLineEdit* edit = c.password ? d.pass : d.nick;
        const QLabel* hint = d.ui.findChild<QLabel*>(c.password ? QStringLiteral("PassHint")
                                                                : QStringLiteral("NickHint"));
        ASSERT_NE(hint, nullptr);
        if (c.paste) {
            QApplication::clipboard()->setText(c.input);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else {
            Type(edit, c.input);
        }
        // The refused characters never got in: the other field filled, LOG stays off without them.
        EXPECT_EQ(edit->text(), c.kept);
        EXPECT_EQ(hint->text(), c.hint);
        EXPECT_EQ(edit->accessibleDescription(), c.hint);
    }
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
