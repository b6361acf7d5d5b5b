// SPDX-License-Identifier: MIT
#include "controls/prog_bar.h"

#include <gtest/gtest.h>
#include <QAccessible>
#include <QCoreApplication>
#include <QPaintEvent>
#include <QTest>
#include <climits>
#include <ostream>
#include <vector>

#include "support/pump.h"

// Readable failures for repainted regions.
void PrintTo(const QRegion& region, std::ostream* out) {
    for (const QRect& r : region)
        *out << "[" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << "]";
}

namespace vantor {
namespace {

// Records what each repaint covered.
class RecordingBar : public ProgBar {
public:
    QRegion painted;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        ++paints;
        ProgBar::paintEvent(event);
    }
};

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

class ProgBarDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        bar.resize(200, 10);
        bar.SetMax(10);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        Settle();
    }

    // Lets every pending repaint happen and answers what they covered, empty when none did.
    QRegion Settle() {
        bar.painted = QRegion();
        bar.paints = 0;
        test::PumpUntil([this] { return bar.paints > 0; },
                        [] { QCoreApplication::processEvents(); }, std::chrono::milliseconds(500));
        return bar.painted;
    }
    std::vector<QColor> At(std::initializer_list<int> xs) {
        const QImage image = bar.grab().toImage();
        std::vector<QColor> colours;
        for (int x : xs) colours.push_back(image.pixelColor(x, 5));
        return colours;
    }

    RecordingBar bar;
};

TEST_F(ProgBarDrawing, valueRepaintsOnlyTheStripBetweenOldAndNewPosition) {
    bar.SetValue(4);
    EXPECT_EQ(Settle(), QRegion(0, 0, 80, 10));
    bar.SetValue(7);
    EXPECT_EQ(Settle(), QRegion(80, 0, 60, 10));
    EXPECT_EQ(At({79, 80, 139, 140}), (std::vector<QColor>{kRed, kRed, kRed, kBlack}));
    bar.SetValue(2);
    EXPECT_EQ(Settle(), QRegion(40, 0, 100, 10));
    EXPECT_EQ(At({39, 40, 139}), (std::vector<QColor>{kRed, kBlack, kBlack}));
    bar.SetValue(2);
    EXPECT_TRUE(Settle().isEmpty());
}

TEST_F(ProgBarDrawing, coloursRedrawTheWholeBarInTheirOwnColourButMaxZeroDrawsNothing) {
    bar.SetMax(4);
    bar.SetValue(1);
    Settle();
    bar.setProperty("ForeColor", QVariant::fromValue<std::uint32_t>(0x0080FF));  // RGB 255,128,0
    bar.SetBackColor(0x400000);                                                  // RGB 0,0,64
    EXPECT_EQ(Settle(), QRegion(bar.rect()));
    const std::vector<QColor> picture{QColor(255, 128, 0), QColor(255, 128, 0), QColor(0, 0, 64)};
    EXPECT_EQ(At({0, 49, 50}), picture);

    bar.SetMax(0);
    bar.SetValue(9);
    bar.SetForeColor(0x00FF00);
    bar.SetBackColor(0xFFFFFF);
    EXPECT_TRUE(Settle().isEmpty());
    EXPECT_EQ(At({0, 49, 50}), picture);  // the old picture stays
}

TEST(ProgBarStrip, positionsRoundHalvesToEvenAndArePinned) {
    EXPECT_EQ(ProgBar::Position(1, 2, 5), 2);  // 2.5
    EXPECT_EQ(ProgBar::Position(3, 2, 5), 8);  // 7.5
    EXPECT_TRUE(ProgBar::Strip(1, 5, 0, 200, 10).isEmpty());
    // Two values that land on the same unit leave nothing to paint.
    EXPECT_TRUE(ProgBar::Strip(1, 2, 1000, 10, 10).isEmpty());
    // Values past either end fill or empty the bar; far-off ones are pinned, not overflowed.
    EXPECT_GE(ProgBar::Position(25, 10, 200), 200);
    EXPECT_LE(ProgBar::Position(-5, 10, 200), 0);
    EXPECT_GT(ProgBar::Position(INT_MAX, 1, 1000), 1000);
    EXPECT_LT(ProgBar::Position(INT_MIN, 1, 1000), 0);
    EXPECT_LT(ProgBar::Position(5, -1, 100), 0);
}

TEST_F(ProgBarDrawing, assistiveTechnologySeesAReadOnlyProgressBar) {
    bar.SetValue(7);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::ProgressBar);
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("7 of 10"));
    QAccessibleValueInterface* value = face->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 7);
    EXPECT_EQ(value->maximumValue().toInt(), 10);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    value->setCurrentValue(3);  // read-only from outside
    EXPECT_EQ(bar.Value(), 7);
}

}  // namespace
}  // namespace vantor
