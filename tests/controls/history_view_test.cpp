// SPDX-License-Identifier: MIT
#include "controls/history_view.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>
#include <initializer_list>
#include <map>
#include <random>
#include <regex>
#include <string>

#include "controls/theme.h"
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
        view->setFocusPolicy(Qt::NoFocus);  // the one shown last would draw its focus frame
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

// A box with the keyboard focus keeps it through a flood: the keys typed meanwhile reach it, not
// the control after it (Space there would press a CLOSE button).
TEST(HistoryView, aFocusedBoxKeepsTheFocusWhileItAppends) {
    QWidget window;
    auto* view = new HistoryView({.cap = 1000}, &window);
    auto* close = new QPushButton(QStringLiteral("CLOSE"), &window);
    close->move(0, 220);
    int pressed = 0;
    QObject::connect(close, &QPushButton::clicked, [&] { ++pressed; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    view->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(view->hasFocus());
    QWidget* focusDuring = nullptr;
    QMetaObject::invokeMethod(
        view,
        [&] {
            focusDuring = QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        },
        Qt::QueuedConnection);
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(view->Append({.body = QStringLiteral("line")}));
    EXPECT_EQ(focusDuring, view);
    EXPECT_EQ(QApplication::focusWidget(), view);
    EXPECT_EQ(pressed, 0);
}

// Counts the paint events of the widgets it watches.
class PaintCounter final : public QObject {
public:
    std::map<QObject*, int> paints;
    void Watch(QWidget* widget) {
        paints[widget] = 0;
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints[watched];
        return false;
    }
};

// A show repaints the lines and the scroll bar, however often the appends switched the box off to
// let events run: never the box's frame, and never the window's picture behind it, which costs
// more to paint than the lines.
TEST(HistoryView, showRepaintsTheLinesAndTheScrollBarOnly) {
    QWidget window;
    QPixmap tile(16, 16);
    tile.fill(QColor(64, 0, 0));
    QPalette palette = window.palette();
    palette.setBrush(QPalette::Window, QBrush(tile));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto* view = new HistoryView({.cap = 1000, .showEveryMs = 1, .holdText = true}, &window);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ThemeScrollBars(view);
    view->setGeometry(10, 10, 300, 200);
    auto* field = new QLineEdit(&window);  // has the focus, as a window's send box does
    field->setGeometry(10, 215, 300, 20);
    field->setFocus();
    window.resize(320, 240);
    PaintCounter counter;
    for (QWidget* w : std::initializer_list<QWidget*>{&window, view, view->viewport(),
                                                      view->verticalScrollBar()})
        counter.Watch(w);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(test::PumpUntil([&] { return counter.paints[view] > 0; },
                                [] { QCoreApplication::processEvents(); }));
    for (auto& [widget, paints] : counter.paints) paints = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 100; ++i) {
            ASSERT_TRUE(
                view->Append({.body = QStringLiteral("entry %1 of pass %2").arg(i).arg(pass)}));
        }
        ASSERT_TRUE(test::PumpUntil(
            [&] {
                return counter.paints[view->viewport()] > pass &&
                       counter.paints[view->verticalScrollBar()] > pass;
            },
            [] { QCoreApplication::processEvents(); }));
    }
    EXPECT_GT(view->Done().eventSteps, 100u);
    EXPECT_EQ(counter.paints[view], 0);
    EXPECT_EQ(counter.paints[&window], 0);
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

// The entry's last line with each link in brackets, and the addresses the links open.
struct Linked {
    QString text;
    QStringList hrefs;
};
Linked LinksOf(const HistoryView& view) {
    Linked out;
    const QTextBlock last = view.document()->lastBlock();
    for (auto it = last.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.charFormat().isAnchor()) {
            out.text += u'[' + f.text() + u']';
            out.hrefs << f.charFormat().anchorHref();
        } else {
            out.text += f.text();
        }
    }
    return out;
}

// An address is linked whole up to the first space, or to a closing bracket that closes nothing
// it opened; a sentence's final mark is not part of it unless it closes a bracket of its own.
TEST(HistoryView, addressesAreLinkedWholeUpToASpaceOrAnUnopenedClosingBracket) {
    const struct {
        const char* body;
        const char* linked;
        const char* href;  // of the first link
    } rows[] = {
        {"see http://example.com/a?b=<c> now", "see [http://example.com/a?b=<c>] now",
         "http://example.com/a?b=<c>"},
        {"http://example.com/a?b=<c>", "[http://example.com/a?b=<c>]", nullptr},
        {"end http://example.com/x.", "end [http://example.com/x].", nullptr},
        {"a http://example.com/x, b", "a [http://example.com/x], b", nullptr},
        {"(see http://example.com/x)", "(see [http://example.com/x])", nullptr},
        {"(see http://example.com/x).", "(see [http://example.com/x]).", nullptr},
        {"wiki https://en.example.org/Foo_(bar) ok", "wiki [https://en.example.org/Foo_(bar)] ok",
         nullptr},
        {"(wiki https://en.example.org/Foo_(bar))", "(wiki [https://en.example.org/Foo_(bar)])",
         nullptr},
        {"[http://example.com/a[1]]", "[[http://example.com/a[1]]]", nullptr},
        {"<http://example.com/>", "<[http://example.com/]>", nullptr},
        {"http://example.com/a>b", "[http://example.com/a]>b", nullptr},
        {"{http://example.com/}", "{[http://example.com/]}", nullptr},
        {"\"http://example.com/q\" said", "\"[http://example.com/q]\" said", nullptr},
        {"what http://example.com/?q=1&r=2!?", "what [http://example.com/?q=1&r=2]!?", nullptr},
        {"http://example.com/a,b;c:d", "[http://example.com/a,b;c:d]", nullptr},
        {"go www.example.com/path.", "go [www.example.com/path].", "http://www.example.com/path"},
        {"HTTPS://EXAMPLE.COM/X", "[HTTPS://EXAMPLE.COM/X]", nullptr},
        {"two http://a.example/ http://b.example/.", "two [http://a.example/] [http://b.example/].",
         nullptr},
        {"only http:// and www. here", "only http:// and www. here", nullptr},
        {"xhttp://example.com", "xhttp://example.com", nullptr},
    };
    HistoryView view({.links = true});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.body);
        view.Append({.head = QStringLiteral("bob: "), .body = QString::fromUtf8(row.body)});
        const Linked got = LinksOf(view);
        EXPECT_EQ(got.text.toStdString(), std::string("bob: ") + row.linked);
        if (row.href != nullptr) {
            ASSERT_FALSE(got.hrefs.isEmpty());
            EXPECT_EQ(got.hrefs.front().toStdString(), row.href);
        }
    }
}

// Past eight combining marks on one character the rest are not shown, whatever stands between
// them; the cap counts what is shown. Text with fewer, emoji sequences and flags are shown as
// they came.
TEST(HistoryView, atMostEightCombiningMarksOnACharacterAreShown) {
    const QString acute = QString(5000, QChar(0x0301));
    QString joined;  // marks with joiners between, that must not count as new characters
    for (int i = 0; i < 100; ++i) joined += QStringLiteral("\u0301\u200D");
    const QString musical = QString::fromUcs4(U"\U0001D165\U0001D167\U0001D167");
    const struct {
        QString body;
        QString shown;
    } rows[] = {
        {u'a' + acute + u'b', u'a' + acute.left(8) + u'b'},
        {u'a' + acute + u'e' + acute, u'a' + acute.left(8) + u'e' + acute.left(8)},
        {u'o' + joined, u'o' + joined.left(16) + QString(92, QChar(0x200D))},
        {u'x' + musical.repeated(4), u'x' + musical.repeated(3).left(16)},
        {QStringLiteral("Vi\u1EC7t ti\u00EA\u0323\u0301ng"),
         QStringLiteral("Vi\u1EC7t ti\u00EA\u0323\u0301ng")},
        // A family, a flag, a keycap, a skin tone, a flag of a country's part.
        {QString::fromUcs4(U"\U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F1E9\U0001F1EA "
                           U"1\uFE0F\u20E3 \U0001F44B\U0001F3FD \U0001F3F4\U000E0067\U000E0062"
                           U"\U000E0073\U000E0063\U000E0074\U000E007F"),
         QString()},
    };
    for (const auto& row : rows) {
        HistoryView view({});
        ASSERT_TRUE(view.Append({.head = QStringLiteral("bob: "), .body = row.body}));
        const QString want =
            QStringLiteral("\nbob: ") + (row.shown.isNull() ? row.body : row.shown);
        EXPECT_EQ(view.document()->toPlainText(), want) << row.body.size();
        EXPECT_EQ(view.Length(), std::size_t(want.size() + 1));
    }
}

}  // namespace
}  // namespace vantor
