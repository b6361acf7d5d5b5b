// SPDX-License-Identifier: MIT
#include "controls/history_view.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTextDocument>
#include <QThread>
#include <random>
#include <regex>
#include <string>

#include "support/pump.h"

namespace vantor {
namespace {

using NoBreak = HistoryLines::NoBreak;

// The cap rule written out on the text itself: a line break is CR LF, and so is every line break
// inside an entry.
struct TextModel {
    std::size_t cap;
    NoBreak noBreak;
    std::string text;

    static std::string CrLf(const std::string& s) {
        return std::regex_replace(s, std::regex("\r\n|\r|\n"), "\r\n");
    }
    void Add(const std::string& lead, const std::string& body) {
        if (text.size() + body.size() > cap) {
            const auto at = text.find("\r\n", body.size() + 99);
            if (at != std::string::npos) {
                text.erase(0, at + 2);
            } else if (noBreak == NoBreak::kClearAll) {
                text.clear();
            } else {
                text.erase(0, text.starts_with("\r\n") ? 2 : 1);
            }
        }
        text += CrLf(lead) + "\r\n" + CrLf(body);
    }
};

QString Shown(HistoryView& view) {
    return view.document()->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

// Whatever the rules, a flood of entries of every size (line breaks and tag leads among them)
// leaves the document exactly as cutting the text itself would, however the view held lines back.
TEST(HistoryView, documentIsTheTextTheCapRuleLeaves) {
    struct Case {
        const char* name;
        HistoryRules rules;
        int catchUpEvery;  // appends between explicit catch-ups when text is held back
    };
    constexpr int kNever = 3600000;  // the view catches up only when told
    const Case cases[] = {
        {"held, cleared", {.cap = 1000, .showEveryMs = kNever, .holdText = true, .links = true}, 7},
        {"at once, cleared", {.cap = 1000}, 1},
        {"at once, first character",
         {.cap = 1000,
          .noBreak = NoBreak::kFirstCharacter,
          .showEveryMs = kNever,
          .takeAfterEvents = true},
         1},
        {"held, events now and then",
         {.cap = 1000, .showEveryMs = kNever, .holdText = true, .eventsEveryUs = 1000000},
         3},
        {"held, first character",
         {.cap = 1000,
          .noBreak = NoBreak::kFirstCharacter,
          .showEveryMs = kNever,
          .holdText = true},
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HistoryView view(c.rules);
        view.resize(300, 200);
        view.show();
        TextModel model{c.rules.cap, c.rules.noBreak, {}};
        std::mt19937 rng(11);
        const char* breaks[] = {"\r\n", "\n", "\r"};
        for (int i = 0; i < 600; ++i) {
            const int size = rng() % 10 == 0 ? 880 + int(rng() % 260) : int(rng() % 150);
            std::string body;
            for (int k = 0; k < size; ++k) {
                body += rng() % 40 == 0 ? breaks[rng() % 3] : std::string(1, char('a' + k % 26));
            }
            const std::string lead = rng() % 4 == 0 ? "#M-" : "";
            model.Add(lead, body);
            ASSERT_TRUE(view.Append({.body = QString::fromLatin1(body),
                                     .colour = QColor(0, 150, 0),
                                     .lead = QString::fromLatin1(lead)}));
            ASSERT_EQ(view.Length(), model.text.size()) << "entry " << i;
            if (i % c.catchUpEvery == 0) {
                view.CatchUp();
                ASSERT_EQ(Shown(view).toStdString(), model.text) << "entry " << i;
            }
        }
        // Edited from outside, the document is the history from then on.
        view.CatchUp();
        view.clear();
        model.text.clear();
        model.Add("", std::string(20, 'z'));
        view.Append({.body = QString(20, u'z')});
        view.CatchUp();
        EXPECT_EQ(Shown(view).toStdString(), model.text);
        EXPECT_EQ(view.Length(), model.text.size());
    }
}

// Held back and shown in one go, a flood leaves the document, formats and all, exactly as
// showing every entry on its own does.
TEST(HistoryView, floodShownInOneGoMatchesEntryByEntry) {
    constexpr int kNever = 3600000;
    HistoryView reference({.cap = 2000, .links = true});
    HistoryView held({.cap = 2000,
                      .showEveryMs = kNever,
                      .holdText = true,
                      .eventsEveryUs = kNever,
                      .links = true});
    const QColor colours[] = {QColor(255, 128, 0), QColor(0, 128, 255), QColor(150, 0, 150)};
    for (HistoryView* view : {&reference, &held}) {
        view->resize(300, 200);
        view->show();
        view->SetOwnNick(QRegularExpression(QStringLiteral("\\bbob\\b")));
    }
    std::mt19937 rng(5);
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 400; ++i) {
            const int n = int(rng() % 1000);
            HistoryEntry entry{
                .head = QStringLiteral("[12:0%1] nick%2: ").arg(n % 10).arg(n % 7),
                .body = QStringLiteral("%1 bob see www.example.org/%2, ok").arg(n).arg(n % 13),
                .markOwnNick = n % 3 == 0};
            if (n % 5 != 0) entry.colour = colours[n % 3];  // none: the colour last used
            if (n % 11 == 0) entry.body += QStringLiteral("\n") + QString(n, u'x');
            if (n % 17 == 0) {
                entry.lead = QStringLiteral(" (more)");
                entry.leadColour = colours[(n + 1) % 3];
            }
            ASSERT_TRUE(reference.Append(entry));
            ASSERT_TRUE(held.Append(entry));
            reference.CatchUp();
        }
        held.CatchUp();
        ASSERT_EQ(held.document()->toHtml(), reference.document()->toHtml()) << "round " << round;
        EXPECT_EQ(held.verticalScrollBar()->value(), reference.verticalScrollBar()->value());
        EXPECT_EQ(held.grab().toImage(), reference.grab().toImage()) << "round " << round;
    }
}

// A pass of appends is shown once it is over, even when events run inside it and the show is
// due: the lines the cap trims during the pass are never laid out, and what the pass leaves is
// laid out once.
TEST(HistoryView, passIsShownOnceItIsOverWithOnlyTheLinesThatStay) {
    HistoryView view({.cap = 1000, .showEveryMs = 1, .holdText = true});
    view.resize(300, 200);
    view.show();
    view.CatchUp();
    const HistoryView::Work before = view.Done();
    TextModel model{1000, NoBreak::kClearAll, {}};
    for (int i = 0; i < 200; ++i) {
        const std::string body = "entry " + std::to_string(i) + std::string(i % 40, '.');
        model.Add("", body);
        ASSERT_TRUE(view.Append({.body = QString::fromLatin1(body)}));
        // The show is due from here on: the event steps of the appends that follow fire its timer.
        if (i == 100) QThread::msleep(2);
    }
    EXPECT_EQ(view.Done().shows, before.shows);
    EXPECT_EQ(Shown(view).toStdString(), "");

    ASSERT_TRUE(test::PumpUntil([&] { return view.Done().shows > before.shows; },
                                [] { QCoreApplication::processEvents(); }));
    EXPECT_EQ(Shown(view).toStdString(), model.text);
    EXPECT_EQ(view.Done().shows, before.shows + 1);
    EXPECT_EQ(view.Done().linesLaidOut - before.linesLaidOut,
              std::size_t(view.document()->blockCount()));
}

// Whether events run on every append or only when something was posted, a queued call runs
// with the box switched off, and what it appends lands before or after the entry being appended
// as the rules say.
TEST(HistoryView, postedCallRunsWithTheBoxOffAndItsEntryLandsInOrder) {
    constexpr int kNever = 3600000;
    struct Case {
        const char* name;
        HistoryRules rules;
        const char* expected;
    };
    const Case cases[] = {
        {"every append, taken at once", {}, "\r\nfirst\r\nouter\r\ninner"},
        {"every append, taken after", {.takeAfterEvents = true}, "\r\nfirst\r\ninner\r\nouter"},
        {"when posted, taken at once", {.eventsEveryUs = kNever}, "\r\nfirst\r\nouter\r\ninner"},
        {"when posted, taken after",
         {.takeAfterEvents = true, .eventsEveryUs = kNever},
         "\r\nfirst\r\ninner\r\nouter"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HistoryView view(c.rules);
        view.show();
        ASSERT_TRUE(view.Append({.body = QStringLiteral("first")}));  // events ran: none due now
        bool sawEnabled = true;
        QMetaObject::invokeMethod(
            &view,
            [&] {
                sawEnabled = view.isEnabled();
                view.Append({.body = QStringLiteral("inner")});
            },
            Qt::QueuedConnection);
        ASSERT_TRUE(view.Append({.body = QStringLiteral("outer")}));
        EXPECT_FALSE(sawEnabled);
        EXPECT_TRUE(view.isEnabled());
        view.CatchUp();
        EXPECT_EQ(Shown(view).toStdString(), c.expected);
    }
}

TEST(HistoryView, followsNewLinesAtTheBottomAndStaysWhereTheReaderScrolled) {
    HistoryView view({});
    view.resize(300, 120);
    view.show();
    QScrollBar* bar = view.verticalScrollBar();
    for (int i = 0; i < 60; ++i) view.Append({.body = QStringLiteral("line %1").arg(i)});
    QCoreApplication::processEvents();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(bar->maximum() / 2);
    const int reading = bar->value();
    view.Append({.body = QStringLiteral("more")});
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->value(), reading);
}

}  // namespace
}  // namespace vantor
