// SPDX-License-Identifier: MIT
#include "app/add_buddy_ui.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "controls/vantor_btn.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(AddBuddy, theAddSendsTheLowerCaseNicknameUnlessARowReadsExactlyThat) {
    struct Case {
        QString typed;
        QStringList rows;
        std::optional<QString> sent;
    };
    const Case cases[] = {
        {u"Bob"_s, {u"bob"_s}, std::nullopt},  // already there
        {u"Bob"_s, {u"Bob"_s}, u"bob"_s},      // the downloaded "Bob" is another row
        {u"ECHO"_s, {u"marla"_s, u"echo"_s}, std::nullopt},
        {u"Dozer"_s, {u"echo"_s}, u"dozer"_s},
        {u"\u00c9mile"_s, {}, u"\u00e9mile"_s},  // lower case beyond ASCII, as the code page has it
        {QString(), {}, std::nullopt},           // an empty nickname sends nothing
        {QString(), {QString()}, std::nullopt},
        {u"bo b"_s, {}, std::nullopt},  // two words are not one nickname
        {u"bob\t"_s, {}, std::nullopt},
        {u"a,b"_s, {}, std::nullopt},                       // a list separator on the wire
        {u"\u0418\u0432\u0430\u043d"_s, {}, std::nullopt},  // would go out as "????"
    };
    for (const Case& c : cases)
        EXPECT_EQ(NicknameToAdd(c.typed, c.rows), c.sent) << c.typed.toStdString();
}

struct Dialog {
    AddBuddyUI ui;
    QLineEdit* text = ui.findChild<QLineEdit*>(u"BuddyText"_s);
    QLabel* hint = ui.findChild<QLabel*>(u"Hint"_s);
    VantorBtn* add = ui.findChild<VantorBtn*>(u"AddBtn"_s);
    VantorBtn* cancel = ui.findChild<VantorBtn*>(u"CancelBtn"_s);
    QSignalSpy finished{&ui, &AddBuddyUI::Finished};
    Dialog() { ui.show(); }
};

TEST(AddBuddyUI, refusesAnEmptyNicknameAndOneWithABlankInTheDialog) {
    Dialog d;
    QTest::keyClicks(d.text, u"abcdefghijkl"_s);
    EXPECT_EQ(d.text->text(), u"abcdefghi"_s);
    d.text->clear();

    // Empty: OK is off and Enter does nothing.
    EXPECT_FALSE(d.add->Enabled());
    QTest::keyClick(d.text, Qt::Key_Return);
    QTest::mouseClick(d.add, Qt::LeftButton);
    EXPECT_EQ(d.finished.count(), 0);

    // A typed blank is left out (the hints are the log-on dialog's test); text put there by the
    // program is not filtered, but cannot be added either.
    QTest::keyClicks(d.text, u"bo "_s);
    EXPECT_EQ(d.text->text(), u"bo"_s);
    d.text->setText(u"bo b"_s);
    EXPECT_FALSE(d.add->Enabled());
    QTest::keyClick(d.text, Qt::Key_Return);
    EXPECT_EQ(d.finished.count(), 0);
    d.text->setText(u"\u0418\u0432\u0430\u043d"_s);
    EXPECT_FALSE(d.add->Enabled());

    d.text->clear();
    d.text->setText(u"Bob"_s);
    EXPECT_TRUE(d.add->Enabled());
    EXPECT_TRUE(d.hint->text().isEmpty());
    QTest::keyClick(d.text, Qt::Key_Return);  // Enter acts as OK
    EXPECT_EQ(d.finished.count(), 1);
    EXPECT_FALSE(d.ui.Canceled());
    EXPECT_EQ(d.ui.AddNick(), u"Bob"_s);
    EXPECT_TRUE(d.ui.isVisible());  // until its owner releases it
    QTest::mouseClick(d.add, Qt::LeftButton);
    EXPECT_EQ(d.finished.count(), 1);
}

TEST(AddBuddyUI, cancelEscapeAndTheCloseBoxCancelOnce) {
    for (int way = 0; way < 3; ++way) {
        Dialog d;
        d.text->setText(u"bob"_s);
        if (way == 0) QTest::mouseClick(d.cancel, Qt::LeftButton);
        if (way == 1) QTest::keyClick(&d.ui, Qt::Key_Escape);
        if (way == 2) d.ui.close();
        d.ui.close();
        EXPECT_TRUE(d.ui.Canceled() && !d.ui.isVisible()) << way;
        EXPECT_EQ(d.finished.count(), 1) << way;
    }
}

}  // namespace
}  // namespace vantor::test
