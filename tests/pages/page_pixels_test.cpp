// SPDX-License-Identifier: MIT
// What the page window draws, pixel by pixel; ctest runs these at 100 % and again at 200 %.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <cstdlib>

#include "app/vantor_chat_ui.h"
#include "controls/focus_frame.h"
#include "pages/page_ui.h"
#include "support/focus_frame_check.h"
#include "support/temp_registry.h"

namespace vantor {
namespace {

// The window's own drawing, without its controls, in device pixels.
QImage Background(QWidget& window) {
    const qreal ratio = window.devicePixelRatioF();
    QPixmap pixmap(window.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    window.render(&pixmap, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

// How sharp a picture is: the mean change between neighbouring device pixels. Blurred or blown-up
// pictures change little from one pixel to the next.
double Detail(const QImage& image) {
    double sum = 0;
    for (int y = 0; y + 1 < image.height(); ++y) {
        for (int x = 0; x + 1 < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            for (const QRgb q : {image.pixel(x + 1, y), image.pixel(x, y + 1)}) {
                sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                       std::abs(qBlue(p) - qBlue(q));
            }
        }
    }
    return sum / (double(image.width() - 1) * (image.height() - 1));
}

// The page window shows the shared background's own pixels at the screen's scale (the 2x
// artwork at 200 %, not the 1x one blown up), so it is as crisp as the main window's.
TEST(PageUIPixels, backgroundIsTheArtworkAtTheScreensScaleAndAsCrispAsTheMainWindows) {
    test::ScopedRegistry registry;
    const qreal ratio = qApp->devicePixelRatio();
    const QImage tile(ratio > 1 ? QStringLiteral(":/backgrounds/BGImg@2x.png")
                                : QStringLiteral(":/backgrounds/BGImg.png"));
    ASSERT_FALSE(tile.isNull());
    const QImage art = tile.convertToFormat(QImage::Format_RGB32);
    if (ratio > 1) {
        // Detail finer than a logical pixel: not a 1x picture doubled.
        bool finer = false;
        for (int y = 0; y + 1 < art.height() && !finer; y += 2)
            for (int x = 0; x + 1 < art.width() && !finer; x += 2)
                finer = art.pixel(x, y) != art.pixel(x + 1, y + 1);
        EXPECT_TRUE(finer);
    }

    PageUI page;
    page.resize(460, 320);
    ASSERT_EQ(page.devicePixelRatioF(), ratio);
    const QImage shown = Background(page);
    ASSERT_EQ(shown.size(), QSize(460, 320) * ratio);
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            wrong += shown.pixel(x, y) != art.pixel(x % art.width(), y % art.height());
    EXPECT_EQ(wrong, 0);

    VantorChatUI main;
    auto* mainBackground = main.findChild<QWidget*>(QStringLiteral("BGImage"));
    ASSERT_NE(mainBackground, nullptr);
    const QImage mainShown = mainBackground->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(Detail(shown), Detail(mainShown));
}

// Tabbing into the history shows the focus frame over its border at the scale's width; with the
// focus in the send box, or the window in the background, the border is plain.
TEST(PageUIPixels, historyShowsTheFocusFrameWhileItHasTheFocus) {
    test::ScopedRegistry registry;
    PageUI page;
    page.SetFrom("bob");
    page.show();
    QApplication::setActiveWindow(&page);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    const qreal ratio = page.devicePixelRatioF();
    const int wide = qRound(kFocusFrameWidth * ratio);
    auto* history = page.findChild<QWidget*>(QStringLiteral("PageHistory"));
    const test::FrameEdges none{0, 0, 0, 0};
    const test::FrameEdges framed{wide, wide, wide, wide};

    page.FocusSendBox();
    EXPECT_EQ(test::FocusFrameAt(test::Shot(&page), history->geometry(), ratio), none);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // to SEND
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // to IGNORE
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // to the history
    ASSERT_EQ(QApplication::focusWidget(), history);
    EXPECT_EQ(test::FocusFrameAt(test::Shot(&page), history->geometry(), ratio), framed);

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(test::FocusFrameAt(test::Shot(&page), history->geometry(), ratio), none);
}

}  // namespace
}  // namespace vantor
