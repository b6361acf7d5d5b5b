// SPDX-License-Identifier: MIT
#include "pages/page_ui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <filesystem>

#include "common/qt_text.h"
#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "session/conversation_log.h"
#include "settings/settings_store.h"
#include "support/file_bytes.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using namespace Qt::Literals::StringLiterals;

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

// The button beside SEND offers what a press would do: IGNORE, or UNIGNORE while the peer is
// ignored. The window says so only when told; a press, by mouse or Space, only asks.
TEST_F(PageWindowUi, theIgnoreButtonOffersWhatAPressWouldDoAndOnlyAsks) {
    ShowActive();
    auto* ignore = window->findChild<VantorBtn*>(u"IgnoreBtn"_s);
    ASSERT_NE(ignore, nullptr);
    int asked = 0;
    window->IgnoreClick = [&] { ++asked; };
    const struct {
        bool ignored;
        QString word, description;
    } states[] = {
        {false, u"IGNORE"_s, u"Hide pages from bob"_s},
        {true, u"UNIGNORE"_s, u"Show pages from bob again"_s},
        {false, u"IGNORE"_s, u"Hide pages from bob"_s},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.word.toStdString());
        window->ShowIgnored(state.ignored);
        EXPECT_EQ(ignore->accessibleName(), state.word);
        EXPECT_EQ(ignore->accessibleDescription(), state.description);
        ignore->repaint();
        EXPECT_EQ(ignore->CurrentPicture(), state.word + u"0"_s);
        const int before = asked;
        QTest::mouseClick(ignore, Qt::LeftButton);
        EXPECT_EQ(asked, before + 1);
        EXPECT_EQ(ignore->accessibleName(), state.word);  // until the conversation answers
    }
    window->SetFrom("carl");  // a renamed peer: the description follows
    EXPECT_EQ(ignore->accessibleDescription(), u"Hide pages from carl"_s);

    // Tab from SEND reaches it; Space presses it.
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), ignore);
    QTest::keyClick(ignore, Qt::Key_Space);
    EXPECT_EQ(asked, 4);

    // Beside SEND, at the window's right edge; the send box ends before SEND, at every width.
    for (const int width : {460, 700, 300}) {
        SCOPED_TRACE(width);
        window->resize(width, 320);
        EXPECT_EQ(ignore->geometry().right(), width - 8);
        EXPECT_EQ(ignore->y(), button->y());
        EXPECT_LT(button->geometry().right(), ignore->x());
        EXPECT_LT(box->geometry().right(), button->x());
    }
}

// With "PageIgnoreButton" 0 the send row is the classic one, in twips: the send box W-1830 wide,
// SEND at W-1605, both at H-585, nothing smaller than 1; and no IGNORE to reach.
TEST(PageWindowLayout, withoutTheIgnoreButtonTheSendRowIsTheClassicOne) {
    test::ScopedRegistry registry;
    SaveSettingLong("PageIgnoreButton", 0);
    PageUI window;
    auto* box = window.findChild<QLineEdit*>(u"SendBox"_s);
    auto* send = window.findChild<VantorBtn*>(u"SendBtn"_s);
    auto* ignore = window.findChild<VantorBtn*>(u"IgnoreBtn"_s);
    window.show();
    EXPECT_FALSE(ignore->isVisible());
    const struct {
        int w, h;
        QRect box;
        QPoint send;
    } rows[] = {
        {460, 320, QRect(8, 281, 338, 34), QPoint(353, 281)},
        {700, 400, QRect(8, 361, 578, 34), QPoint(593, 361)},
        {100, 30, QRect(8, 1, 1, 34), QPoint(1, 1)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.w);
        window.resize(row.w, row.h);
        EXPECT_EQ(box->geometry(), row.box);
        EXPECT_EQ(send->pos(), row.send);
    }
}

// Ctrl+W closes the window as its close button does, wherever the focus is; Escape does so only
// when no line is being typed, and leaves an open find bar to close itself first.
TEST(PageWindowKeys, ctrlWAlwaysAndEscapeWithAnEmptySendBoxCloseTheWindow) {
    const struct {
        const char* name;
        const char* focus;  // the control that has the focus
        const char* typed;  // in the send box
        QKeyCombination key;
        bool closes;
    } rows[] = {
        {"Ctrl+W, typing", "SendBox", "half a line", Qt::CTRL | Qt::Key_W, true},
        {"Ctrl+W in the history", "PageHistory", "", Qt::CTRL | Qt::Key_W, true},
        {"Escape, empty", "SendBox", "", QKeyCombination(Qt::Key_Escape), true},
        {"Escape in the history", "PageHistory", "", QKeyCombination(Qt::Key_Escape), true},
        {"Escape on SEND", "SendBtn", "", QKeyCombination(Qt::Key_Escape), true},
        {"Escape, typing", "SendBox", "half a line", QKeyCombination(Qt::Key_Escape), false},
        {"Shift+Escape", "SendBox", "", Qt::SHIFT | Qt::Key_Escape, false},
        {"Escape in the find bar", "FindText", "", QKeyCombination(Qt::Key_Escape), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::ScopedRegistry registry;
        PageUI window;
        int closing = 0;
        window.Closing = [&] { ++closing; };
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.findChild<QLineEdit*>(u"SendBox"_s)->setText(QString::fromUtf8(row.typed));
        if (std::string(row.focus) == "FindText")
            QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        auto* focus = window.findChild<QWidget*>(QString::fromLatin1(row.focus));
        ASSERT_NE(focus, nullptr);
        focus->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), focus);

        QTest::keyClick(focus, row.key.key(), row.key.keyboardModifiers());
        EXPECT_EQ(window.isVisible(), !row.closes);
        EXPECT_EQ(closing, row.closes ? 1 : 0);
        EXPECT_EQ(window.findChild<QLineEdit*>(u"SendBox"_s)->text(), QString::fromUtf8(row.typed));
        if (std::string(row.focus) == "FindText") {
            EXPECT_FALSE(window.findChild<QWidget*>(u"FindBar"_s)->isVisible());
        }
    }
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

// The window's log: what it writes, what a reopened window shows of it, and a log that cannot
// be written.
class PageLog : public ::testing::Test {
protected:
    ~PageLog() override { SetLogFailureNotice(nullptr); }

    std::unique_ptr<PageUI> Open(const std::string& from = "Bob") {
        auto window = std::make_unique<PageUI>();
        window->SendMsg = [this](const std::string& text) { sent.push_back(text); };
        window->SetFrom(from);
        window->SetUser("Ann");
        return window;
    }
    static void Send(PageUI& window, const QString& text) {
        auto* box = window.findChild<QLineEdit*>(u"SendBox"_s);
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    // The log's lines with their stamps checked and taken off.
    std::vector<std::string> Logged() const {
        static const QRegularExpression stamp(
            u"^\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\] "_s);
        std::vector<std::string> out;
        for (const std::string& line : ReadLogTail(file, 1000)) {
            const QString text = QString::fromUtf8(line);
            EXPECT_TRUE(stamp.match(text).hasMatch()) << line;
            out.push_back(text.mid(22).toStdString());
        }
        return out;
    }

    test::ScopedRegistry registry;  // also a data folder of its own
    fs::path file = registry.Dir() / "vantor-desktop" / "logs" / "ann" / "bob.log";
    std::vector<std::string> sent;
};

TEST_F(PageLog, aConversationLandsInThePeersFileOneStampedEntryALine) {
    auto window = Open();
    window->Received("hi there");
    Send(*window, u"caf\u00e9?"_s);
    window->Notify("User is offline!");
    window->Received("two\r\nlines");

    EXPECT_EQ(Logged(), (std::vector<std::string>{"Bob: hi there", "Ann: caf\xC3\xA9?",
                                                  "User is offline!", "Bob: two lines"}));
}

TEST_F(PageLog, reopeningShowsTheLastTwentyEntriesAsEarlierThenTheNewConversation) {
    {
        auto first = Open();
        for (int i = 0; i < 25; ++i) first->Received("line " + std::to_string(i));
    }
    auto window = Open("bob");  // the same peer, however the nickname is spelled
    window->Received("new");

    const QStringList lines = window->HistoryText().split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 1 + 1 + 20 + 1);
    EXPECT_EQ(lines[1], PageUI::kEarlierHeading.toString());
    EXPECT_TRUE(lines[2].endsWith(u"] Bob: line 5"_s)) << lines[2].toStdString();
    EXPECT_TRUE(lines[21].endsWith(u"] Bob: line 24"_s)) << lines[21].toStdString();
    EXPECT_EQ(lines[22], u"bob: new"_s);
    const auto* history = window->findChild<QTextEdit*>(u"PageHistory"_s);
    for (int block : {1, 2, 21}) EXPECT_EQ(ColourOfBlock(history, block), theme::kEarlierText);
    EXPECT_NE(ColourOfBlock(history, 22), theme::kEarlierText);
    // What was shown again is not logged again.
    EXPECT_EQ(Logged().size(), 26u);
}

TEST_F(PageLog, settingZeroKeepsNoLogAndShowsNothingEarlier) {
    {
        auto first = Open();
        first->Received("kept");
    }
    SaveSettingLong("LogConversations", 0);
    auto window = Open();
    window->Received("not kept");
    EXPECT_EQ(window->HistoryText(), u"\r\nBob: not kept"_s);
    EXPECT_EQ(Logged(), std::vector<std::string>{"Bob: kept"});
}

TEST_F(PageLog, anUnwritableLogGivesOneNoticeAndTheConversationGoesOn) {
    test::WriteBytes(registry.Dir() / "vantor-desktop", "a file where the folder should be");
    std::vector<std::string> notices;
    SetLogFailureNotice([&](const std::string& message) { notices.push_back(message); });
    auto window = Open();
    window->Received("hi");
    Send(*window, u"still here"_s);
    Send(*window, u"and here"_s);

    EXPECT_EQ(sent, (std::vector<std::string>{"still here", "and here"}));
    EXPECT_EQ(window->HistoryText(), u"\r\nBob: hi\r\nAnn: still here\r\nAnn: and here"_s);
    EXPECT_EQ(notices, std::vector<std::string>{"The conversation log " + file.string() +
                                                " cannot be written."});
}

// A line of thousands of combining marks is kept whole in the log and shown with eight.
TEST_F(PageLog, theLogKeepsTheMarksTheHistoryLeavesOut) {
    auto window = Open();
    const QString marks(5000, QChar(0x0301));
    window->Received((u'a' + marks).toUtf8().toStdString());

    EXPECT_EQ(Logged(), std::vector<std::string>{(u"Bob: a"_s + marks).toUtf8().toStdString()});
    const QString shown = window->HistoryText();
    EXPECT_TRUE(shown.startsWith(u"\r\nBob: a"_s + marks.left(8) + u" [... "_s))
        << shown.left(40).toStdString();
}

}  // namespace
}  // namespace vantor
