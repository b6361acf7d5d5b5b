// SPDX-License-Identifier: MIT
#include "controls/vantor_btn.h"

#include <gtest/gtest.h>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <utility>

namespace vantor {
namespace {

TEST(VantorBtn, wordIsStoredUpperCaseAndAWordWithoutPicturesKeepsThePreviousPicture) {
    VantorBtn button;
    button.SetEnabled(false);  // no word yet: nothing to show, and no failure
    EXPECT_EQ(button.CurrentPicture(), QString());
    button.SetEnabled(true);
    button.SetBtnText(QStringLiteral("ok"));
    EXPECT_EQ(button.property("BtnText").toString(), QStringLiteral("OK"));
    EXPECT_EQ(button.CurrentPicture(), QStringLiteral("OK0"));
    button.SetBtnText(QString());
    EXPECT_EQ(button.BtnText(), QStringLiteral("OK"));
    button.SetBtnText(QStringLiteral("nonesuch"));
    EXPECT_EQ(button.BtnText(), QStringLiteral("NONESUCH"));
    EXPECT_EQ(button.CurrentPicture(), QStringLiteral("OK0"));
}

TEST(VantorBtn, pressShowsPressedPictureReleaseClicksOnceAndDisabledIsGreyAndRaisesNothing) {
    VantorBtn button(QStringLiteral("ok"), nullptr);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    EXPECT_EQ(button.cursor().shape(), Qt::BitmapCursor);  // the hand
    QSignalSpy clicks(&button, &VantorBtn::Click);

    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(std::pair(button.CurrentPicture(), clicks.count()),
              std::pair(QStringLiteral("OK1"), qsizetype(0)));
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_EQ(std::pair(button.CurrentPicture(), clicks.count()),
              std::pair(QStringLiteral("OK0"), qsizetype(1)));

    // Let go outside the picture: the press is abandoned.
    QTest::mousePress(&button, Qt::LeftButton);
    QTest::mouseMove(&button, QPoint(300, 300));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(std::pair(button.CurrentPicture(), clicks.count()),
              std::pair(QStringLiteral("OK0"), qsizetype(1)));

    button.setProperty("Enabled", false);
    EXPECT_EQ(button.CurrentPicture(), QStringLiteral("OK2"));
    EXPECT_EQ(button.cursor().shape(), Qt::ArrowCursor);
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(button.CurrentPicture(), QStringLiteral("OK2"));
    QTest::mouseRelease(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);

    button.SetEnabled(true);
    EXPECT_EQ(button.CurrentPicture(), QStringLiteral("OK0"));
    EXPECT_EQ(button.cursor().shape(), Qt::BitmapCursor);
}

TEST(VantorBtn, keepsItsSizeInALayoutAndTabReachesItWithAVisibleMarkAndSpaceClicks) {
    QWidget host;
    auto* layout = new QHBoxLayout(&host);
    auto* first = new VantorBtn(QStringLiteral("LOG"), &host);
    auto* second = new VantorBtn(QStringLiteral("QUIT"), &host);
    layout->addWidget(first);
    layout->addWidget(second);
    host.resize(600, 300);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    EXPECT_EQ(first->size(), QSize(100, 34));
    first->resize(300, 80);
    second->setFixedSize(20, 10);  // a host forcing another size still gets the picture's
    EXPECT_EQ(std::pair(first->size(), second->size()), std::pair(QSize(100, 34), QSize(100, 34)));
    first->setFocus();
    const QImage unmarked = second->grab().toImage();

    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(second->hasFocus());
    EXPECT_NE(second->grab().toImage(), unmarked);

    QSignalSpy clicks(second, &VantorBtn::Click);
    QTest::keyPress(second, Qt::Key_Space);
    EXPECT_EQ(second->CurrentPicture(), QStringLiteral("QUIT1"));
    QTest::keyRelease(second, Qt::Key_Space);
    EXPECT_EQ(std::pair(second->CurrentPicture(), clicks.count()),
              std::pair(QStringLiteral("QUIT0"), qsizetype(1)));
}

}  // namespace
}  // namespace vantor
