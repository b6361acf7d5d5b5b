// SPDX-License-Identifier: MIT
// The buddy list's status icons as drawn, in device pixels at whatever scale the test runs
// (listed a second time at 200 %).
#include <gtest/gtest.h>
#include <QImage>
#include <QPixmap>

#include "buddy_view_fixture.h"
#include "controls/theme.h"
#include "settings/settings_store.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

struct Kind {
    const char* nick;
    const char* words;  // the 398 answer; empty: not looked up
    QColor colour;      // the icon's own
    const char* file;
    const char* accessible;
};
const Kind kKinds[] = {
    {"ann", "3", theme::paint::kStatusOnline, "online", "ann, logged in"},
    {"ben", "1", theme::paint::kStatusOffline, "offline", "ben, not logged in"},
    {"cy", "0 #Lob_21_3,0", theme::paint::kStatusChat, "chat", "cy, in a chat room"},
    {"dee", "2", theme::paint::kStatusHiding, "hiding", "dee, hiding"},
    {"eve", "0 xxColdFront,12", theme::paint::kStatusGame, "game", "eve, in a game"},
    {"fay", "", theme::paint::kStatusUnknown, "unknown", "fay, location unknown"},
};

bool Near(QRgb pixel, const QColor& colour) {
    return std::abs(qRed(pixel) - colour.red()) <= 10 &&
           std::abs(qGreen(pixel) - colour.green()) <= 10 &&
           std::abs(qBlue(pixel) - colour.blue()) <= 10;
}

// Pixels of the colour in the nickname cell's first 20 logical pixels of the row.
int Count(const QImage& shot, const QRect& row, qreal ratio, const QColor& colour) {
    int n = 0;
    const int top = int(row.top() * ratio);
    const int bottom = int(row.bottom() * ratio);
    for (int y = std::max(0, top); y <= std::min(bottom, shot.height() - 1); ++y)
        for (int x = 0; x < int(20 * ratio) && x < shot.width(); ++x)
            if (Near(shot.pixel(x, y), colour)) ++n;
    return n;
}

struct IconFixture : BuddyViewFixture {
    QImage Shot() {
        List()->setCurrentItem(nullptr);
        List()->clearSelection();
        return List()->viewport()->grab().toImage();
    }
    bool ReadyWithEveryKind() {
        std::vector<std::string> places;
        for (const Kind& k : kKinds)
            if (*k.words) places.push_back(std::string(k.nick) + "=" + k.words);
        if (!Ready("ann`ben`cy`dee`eve`fay", places)) return false;
        main->resize(900, 600);
        main->show();
        return QTest::qWaitForWindowExposed(main.get());
    }
};

TEST(BuddyIcons, everyStatusHasItsOwnIconSharpAtTheScreensScale) {
    IconFixture f;
    ASSERT_TRUE(f.ReadyWithEveryKind());
    const QImage shot = f.Shot();
    const qreal ratio = shot.devicePixelRatio();
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.nick);
        QTreeWidgetItem* item = f.ItemFor(k.nick);
        ASSERT_NE(item, nullptr);
        const QRect row = f.List()->visualItemRect(item);
        // Its colour is drawn there, even the thinnest ring's, in device pixels; no other's is.
        EXPECT_GE(Count(shot, row, ratio, k.colour), int(6 * ratio * ratio));
        for (const Kind& other : kKinds) {
            if (&other == &k) continue;
            EXPECT_LT(Count(shot, row, ratio, other.colour), int(3 * ratio * ratio)) << other.nick;
        }
        // Painted at this size, not scaled from another.
        const QPixmap pixmap = item->icon(0).pixmap(QSize(12, 12), ratio);
        ASSERT_EQ(pixmap.width(), int(12 * ratio));
        const int side = int(12 * ratio);
        if (side == 12 || side == 24) {
            const QImage painted(u":/status/%1-%2.png"_s.arg(QLatin1String(k.file)).arg(side));
            EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                      painted.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
        EXPECT_EQ(item->data(0, Qt::AccessibleTextRole).toString(), QLatin1String(k.accessible));
    }
}

TEST(BuddyIcons, switchedOffTheRowsAreTheClassicTextRows) {
    IconFixture f;
    SaveSettingLong("BuddyIcons", 0);
    ASSERT_TRUE(f.ReadyWithEveryKind());
    const QImage shot = f.Shot();
    for (const Kind& k : kKinds) {
        QTreeWidgetItem* item = f.ItemFor(k.nick);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->icon(0).isNull()) << k.nick;
        EXPECT_FALSE(item->data(0, Qt::AccessibleTextRole).isValid()) << k.nick;
        for (const Kind& any : kKinds)
            EXPECT_LT(
                Count(shot, f.List()->visualItemRect(item), shot.devicePixelRatio(), any.colour), 2)
                << k.nick << " " << any.nick;
    }
}

}  // namespace
}  // namespace vantor::test
