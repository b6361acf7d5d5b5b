// SPDX-License-Identifier: MIT
#include "pages/page_ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include "common/qt_text.h"
#include "controls/vantor_btn.h"
#include "settings/settings_store.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

constexpr std::int32_t kIn = 0x00FF00;      // green
constexpr std::int32_t kOut = 0x0000FF;     // red
constexpr std::int32_t kNotice = 0xFF0000;  // blue

QColor ColourOfBlock(const QTextEdit* history, int block) {
    const QTextBlock b = history->document()->findBlockByNumber(block);
    return b.begin().fragment().charFormat().foreground().color();
}

QString Letters(int count, char16_t c = u'x') {
    return QString(count, QChar(c));
}

class PageWindowUi : public ::testing::Test {
protected:
    PageWindowUi() {
        SaveSettingLong("PageIn", kIn);
        SaveSettingLong("PageOut", kOut);
        SaveSettingLong("PageNotify", kNotice);
        window = std::make_unique<PageUI>();
        history = window->findChild<QTextEdit*>(QStringLiteral("PageHistory"));
        box = window->findChild<QLineEdit*>(QStringLiteral("SendBox"));
        button = window->findChild<VantorBtn*>(QStringLiteral("SendBtn"));
        window->SendMsg = [this](const std::string& text) { sent.push_back(text); };
        window->Closing = [this] { ++closing; };
        window->SetFrom("bob");
        window->SetUser("ann");
    }

    void ShowActive() {
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    test::ScopedRegistry registry;
    std::unique_ptr<PageUI> window;
    QTextEdit* history = nullptr;
    QLineEdit* box = nullptr;
    VantorBtn* button = nullptr;
    std::vector<std::string> sent;
    int closing = 0;
};

TEST_F(PageWindowUi, enterSendsTheTypedLineOnceAndShowsItInTheOutColour) {
    ASSERT_TRUE(history && box && button);
    ShowActive();
    window->FocusSendBox();
    QTest::keyClick(box, Qt::Key_Return);  // empty: nothing at all
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(window->HistoryText(), QString());

    QTest::keyClicks(box, QStringLiteral("hi"));
    QTest::keyClick(box, Qt::Key_Return);

    EXPECT_EQ(sent, std::vector<std::string>{"hi"});
    EXPECT_EQ(window->HistoryText(), QStringLiteral("\r\nann: hi"));
    EXPECT_EQ(ColourOfBlock(history, 1), QColor(255, 0, 0));
    EXPECT_TRUE(box->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), box);

    box->setText(QStringLiteral("caf\u00e9 : ok"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(sent.back(), "caf\xE9 : ok");  // handed on as the wire's bytes
    EXPECT_EQ(window->HistoryText(), QStringLiteral("\r\nann: hi\r\nann: caf\u00e9 : ok"));
}

TEST_F(PageWindowUi, receivedLinesAndNoticesTakeTheirColours) {
    window->Received("hello");
    window->Notify("User is offline!");
    window->AddHistory(7, QStringLiteral("plain"));  // no colour of its own: keeps the last
    window->Received("two\r\nlines");                // one entry stays one line

    EXPECT_EQ(window->HistoryText(),
              QStringLiteral("\r\nbob: hello\r\nUser is offline!\r\nplain\r\nbob: two  lines"));
    const QColor want[] = {Qt::green, Qt::blue, Qt::blue, Qt::green};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ColourOfBlock(history, i + 1), want[i]) << i;
}

TEST_F(PageWindowUi, closingRaisesClosingExactlyOnceHoweverItHappens) {
    ShowActive();
    window->close();  // the title-bar button
    window->Close();
    EXPECT_EQ(closing, 1);
    window.reset();
    EXPECT_EQ(closing, 1);

    int count = 0;
    for (int closes : {2, 0}) {  // closed twice while hidden, or only destroyed
        PageUI w;
        w.Closing = [&] { ++count; };
        for (int i = 0; i < closes; ++i) w.Close();
    }
    EXPECT_EQ(count, 2);
}

TEST_F(PageWindowUi, historyDropsItsOldestLinesPastTheCap) {
    // 100 entries of 98 characters: exactly 10000 with their line breaks.
    for (int i = 0; i < 100; ++i)
        window->AddHistory(7, QStringLiteral("%1").arg(i, 3, 10, QChar(u'0')) + Letters(95));
    ASSERT_EQ(window->HistoryText().size(), PageUI::kHistoryCap);

    // 10 more: cut through the first break at or after position 110, the one before entry 002.
    window->AddHistory(7, Letters(10, u'n'));
    const QString text = window->HistoryText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("002x"))) << text.left(10).toStdString();
    EXPECT_EQ(text.size(), 10000 - 202 + 12);
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n") + Letters(10, u'n')));

    // A page of 200 KB is cut for display instead of holding the window up.
    window->Received(std::string(200 * 1024, 'z'));
    const QString after = window->HistoryText();
    EXPECT_TRUE(after.endsWith(QStringLiteral("\r\nbob: ") + Letters(kDisplayCut - 5, u'z') +
                               QStringLiteral(" [... 202805 more characters not shown]")));
    EXPECT_LE(after.size(), PageUI::kHistoryCap);
}

// A refused line stays in the box to be mended and is not shown as sent: characters the code
// page cannot carry, and a page longer than the service's line (it was shown as sent, then
// refused, and the typed text was gone).
TEST_F(PageWindowUi, aLineTheWireCannotCarryIsRefusedAndKept) {
    const struct {
        QString text;
        const char16_t* notice;
    } rows[] = {
        {QStringLiteral("Grüße 日本"),
         u"The line holds characters that cannot be sent; it was not sent."},
        {QString(600, u'x'), u"The page is too long to send; it was not sent."},
    };
    for (const auto& row : rows) {
        box->setText(row.text);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_TRUE(sent.empty());
        EXPECT_EQ(box->text(), row.text);
        EXPECT_FALSE(window->HistoryText().contains(row.text));
        EXPECT_TRUE(window->HistoryText().endsWith(row.notice));
    }
    box->setText(QStringLiteral("Grüße"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(sent, std::vector<std::string>{"Gr\xFC\xDF"
                                             "e"});
}

}  // namespace
}  // namespace vantor
