// SPDX-License-Identifier: MIT
// The page window's log: what it writes, what a reopened window shows of it, and a log that
// cannot be written.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <filesystem>

#include "controls/theme.h"
#include "pages/page_ui.h"
#include "session/conversation_log.h"
#include "settings/settings_store.h"
#include "support/file_bytes.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using namespace Qt::Literals::StringLiterals;

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
    static QTextEdit* History(PageUI& window) {
        return window.findChild<QTextEdit*>(u"PageHistory"_s);
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
    QTextDocument* doc = History(*window)->document();
    for (int block : {1, 2, 21}) {
        EXPECT_EQ(
            doc->findBlockByNumber(block).begin().fragment().charFormat().foreground().color(),
            theme::kEarlierText)
            << block;
    }
    EXPECT_NE(doc->findBlockByNumber(22).begin().fragment().charFormat().foreground().color(),
              theme::kEarlierText);
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

}  // namespace
}  // namespace vantor
