// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <memory>
#include <string>

#include "common/qt_text.h"
#include "diagnostics/debug_ui.h"
#include "settings/settings_store.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

// Colour of the character at a position of the box's plain text.
QColor ColourAt(QTextEdit* box, int position) {
    QTextCursor c(box->document());
    c.setPosition(position + 1);
    return c.charFormat().foreground().color();
}

class DebugUITest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallDebugWindowFactory();
        ASSERT_TRUE(SaveSettingLong("ShowDebugWin", 1));
        InitDebug();
        window_ = dynamic_cast<DebugUI*>(debug_detail::g_debugForm);
        ASSERT_NE(window_, nullptr);
        box_ = window_->findChild<QTextEdit*>(QStringLiteral("DebugWin"));
        ASSERT_NE(box_, nullptr);
    }
    void TearDown() override {
        ShutDownDebug();
        SetDebugWindowFactory(nullptr);
    }
    QString Text() const { return box_->toPlainText(); }

    test::ScopedRegistry registry_;
    DebugUI* window_ = nullptr;
    QTextEdit* box_ = nullptr;
};

TEST_F(DebugUITest, windowOpensTopLeftWithTheBoxFillingIt) {
    ShowDebugWindow();
    EXPECT_EQ(window_->pos(), QPoint(0, 0));
    EXPECT_EQ(window_->width(), window_->screen()->availableGeometry().width());
    EXPECT_EQ(box_->geometry(), window_->rect());
    window_->resize(300, 250);
    QApplication::processEvents();
    EXPECT_EQ(box_->geometry(), window_->rect());
    EXPECT_TRUE(box_->isReadOnly());
}

TEST_F(DebugUITest, entriesAreColouredByKindWithTagPrefixEndingThePreviousLineAndOneCrLfDropped) {
    DebugLog(7, "hello", kLogNote);
    DebugLog(0, "CVERS", kLogSent);
    DebugLog(std::string(), "blank tag", kLogError);
    DebugLog(std::string("M"), "PING\r\n", kLogHandled);  // one trailing CR LF is dropped
    DebugLog(0, "two\r\n\r\n", kLogNote);
    DebugLog(0, "Ren\xE9 \x80", kLogNote);
    EXPECT_EQ(Text(),
              QStringLiteral("#7-\nhello\nCVERS\nblank tag#M-\nPING\ntwo\n\nRen\u00e9 \u20ac"));
    // An unknown kind keeps the colour inserted last: the kind's before, the prefix's after one.
    DebugLog(0, "nine", 9);
    DebugLog(std::string("M"), "after prefix", 42);
    const QColor prefix(100, 100, 0), note(0, 150, 0);
    const std::pair<const char16_t*, QColor> cases[] = {{u"#7-", prefix},
                                                        {u"hello", note},
                                                        {u"CVERS", QColor(50, 50, 150)},
                                                        {u"blank", QColor(150, 0, 0)},
                                                        {u"#M-", prefix},
                                                        {u"PING", QColor(150, 0, 150)},
                                                        {u"nine", note},
                                                        {u"after", prefix}};
    for (const auto& [needle, colour] : cases)
        EXPECT_EQ(ColourAt(box_, int(Text().indexOf(QStringView(needle)))), colour)
            << QStringView(needle).toString().toStdString();
}

TEST_F(DebugUITest, fullBoxDropsOldestLinesInOnePieceUpToALineBreak) {
    // 999 entries of 98 characters: each adds 100 counting its CR LF.
    const std::string pad(94, '.');
    auto line = [&](int i) {
        std::string s = std::to_string(1000 + i).substr(1);
        return "L" + s + pad;
    };
    for (int i = 0; i < 999; ++i) DebugLog(0, line(i), kLogNote);
    ASSERT_EQ(window_->TextLength(), 99900);
    DebugLog(0, std::string(98, 'x'), kLogNote);  // reaches the cap exactly: nothing dropped
    ASSERT_EQ(window_->TextLength(), 100000);
    EXPECT_TRUE(Text().startsWith(u"\nL000"));

    // The first line break at or after position 50 + 100 is the one ending "L001...", so the
    // empty first line, L000 and L001 go; the box no longer starts with an empty line.
    DebugLog(0, std::string(50, 'n'), kLogNote);
    EXPECT_EQ(window_->TextLength(), 100000 - 202 + 52);
    EXPECT_TRUE(Text().startsWith(QStringLiteral("L002")));
    EXPECT_TRUE(Text().endsWith(QString(50, u'n')));
    // An entry without a line break far enough in is cut for display before it gets here; the
    // view's own tests cover it.
}

TEST_F(DebugUITest, closingHidesAndEmptiesTheWindowWhileEntriesKeepArriving) {
    ShowDebugWindow();
    DebugLog(0, "before", kLogNote);
    window_->move(40, 40);
    EXPECT_FALSE(window_->close());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(Text().isEmpty());
    EXPECT_EQ(window_->pos(), QPoint(0, 0));
    EXPECT_FALSE(box_->document()->isUndoRedoEnabled());  // a flood must not grow an undo stack

    DebugLog(0, "after", kLogNote);
    EXPECT_EQ(Text(), QStringLiteral("\nafter"));
    EXPECT_FALSE(window_->isVisible());

    QPointer<DebugUI> alive(window_);
    ShutDownDebug();
    EXPECT_TRUE(alive.isNull());
}

TEST_F(DebugUITest, handlersRunInsideAnAppendAndMayLogOrShutDown) {
    // A queued handler runs while the box is switched off and logs an entry of its own.
    bool sawDisabled = false;
    QTimer::singleShot(0, box_, [&] {
        sawDisabled = !box_->isEnabled();
        DebugLog(0, "inner", kLogNote);
    });
    DebugLog(0, "outer", kLogNote);
    EXPECT_TRUE(sawDisabled);
    EXPECT_EQ(Text(), QStringLiteral("\ninner\nouter"));
    EXPECT_TRUE(box_->isEnabled());
    // Entries in quick succession are shown together a moment later.
    EXPECT_TRUE(test::PumpUntil([&] { return box_->updatesEnabled(); },
                                [] { QCoreApplication::processEvents(); }));

    // A handler may destroy the connection that logs, and the tag the entry came with goes too.
    auto tag = std::make_unique<Tag>(std::string(40, 'c'));  // long enough to live on the heap
    QTimer::singleShot(0, box_, [&] { tag.reset(); });
    DebugLog(*tag, "gone", kLogHandled);
    EXPECT_TRUE(Text().endsWith(u'#' + QString(40, u'c') + QStringLiteral("-\ngone")));

    // A handler that shuts the log down mid-append leaves the append to finish safely.
    QPointer<DebugUI> alive(window_);
    QTimer::singleShot(0, qApp, [] { ShutDownDebug(); });
    DebugLog(0, "last", kLogNote);
    EXPECT_EQ(debug_detail::g_debugForm, nullptr);
    EXPECT_TRUE(alive.isNull());
}

}  // namespace
}  // namespace vantor
