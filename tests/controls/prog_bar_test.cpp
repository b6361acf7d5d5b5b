// SPDX-License-Identifier: MIT
#include "controls/prog_bar.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QPaintEvent>
#include <QTest>
#include <climits>
#include <ostream>
#include <tuple>
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

    void Forget() {
        painted = QRegion();
        paints = 0;
    }

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
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        Settle();
        bar.Forget();
    }

    // Lets every pending repaint happen; true when at least one did.
    bool Settle() {
        return test::PumpUntil([this] { return bar.paints > 0; },
                               [] { QCoreApplication::processEvents(); },
                               std::chrono::milliseconds(500));
    }

    QColor At(int x) { return bar.grab().toImage().pixelColor(x, 5); }
    std::vector<QColor> At(std::initializer_list<int> xs) {
        const QImage image = bar.grab().toImage();
        std::vector<QColor> colours;
        for (int x : xs) colours.push_back(image.pixelColor(x, 5));
        return colours;
    }
    // Sets a value and answers what the repaints it caused covered.
    QRegion Repainted(int value) {
        bar.Forget();
        bar.SetValue(value);
        EXPECT_TRUE(Settle());
        return bar.painted;
    }

    RecordingBar bar;
};

TEST_F(ProgBarDrawing, valueRepaintsOnlyTheStripBetweenOldAndNewPosition) {
    bar.SetMax(10);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Repainted(4), QRegion(0, 0, 80, 10));
    EXPECT_EQ(Repainted(7), QRegion(80, 0, 60, 10));
    EXPECT_EQ(At({79, 80, 139, 140}), (std::vector<QColor>{kRed, kRed, kRed, kBlack}));
    EXPECT_EQ(Repainted(2), QRegion(40, 0, 100, 10));
    EXPECT_EQ(At({39, 40, 139}), (std::vector<QColor>{kRed, kBlack, kBlack}));
    bar.Forget();

    bar.SetValue(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.paints, 0);
}

TEST_F(ProgBarDrawing, maxZeroDrawsNothingAndKeepsTheOldPicture) {
    bar.SetMax(10);
    bar.SetValue(5);
    Settle();
    const QImage before = bar.grab().toImage();
    bar.Forget();

    bar.SetMax(0);
    bar.SetValue(9);
    bar.SetForeColor(0x00FF00);
    bar.SetBackColor(0xFFFFFF);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.paints, 0);
    EXPECT_EQ(bar.grab().toImage(), before);
    EXPECT_EQ(bar.Value(), 9);
}

TEST_F(ProgBarDrawing, coloursRedrawTheWholeBarInTheirOwnColour) {
    bar.SetMax(4);
    bar.SetValue(1);
    Settle();
    bar.Forget();

    bar.setProperty("ForeColor", QVariant::fromValue<std::uint32_t>(0x0080FF));  // RGB 255,128,0
    bar.SetBackColor(0x400000);                                                  // RGB 0,0,64
    ASSERT_TRUE(Settle());
    EXPECT_EQ(bar.painted, QRegion(bar.rect()));
    EXPECT_EQ(At({0, 49, 50}),
              (std::vector<QColor>{QColor(255, 128, 0), QColor(255, 128, 0), QColor(0, 0, 64)}));
}

TEST_F(ProgBarDrawing, valuesOutsideTheScaleDrawWithoutError) {
    bar.SetMax(10);
    for (const auto& [values, x, colour] : {std::tuple{std::vector{25}, 199, kRed},
                                            {std::vector{-5}, 0, kBlack},
                                            {std::vector{INT_MAX, INT_MIN}, 0, kBlack}}) {
        for (int value : values) bar.SetValue(value);
        Settle();
        EXPECT_EQ(At(x), colour) << values.back();
    }
}

TEST(ProgBarStrip, positionsRoundHalvesToEvenAndArePinned) {
    EXPECT_EQ(ProgBar::Position(1, 2, 5), 2);  // 2.5
    EXPECT_EQ(ProgBar::Position(3, 2, 5), 8);  // 7.5
    EXPECT_TRUE(ProgBar::Strip(1, 5, 0, 200, 10).isEmpty());
    // Two values that land on the same unit leave nothing to paint.
    EXPECT_TRUE(ProgBar::Strip(1, 2, 1000, 10, 10).isEmpty());
    // Far-off values are pinned, not overflowed.
    EXPECT_GT(ProgBar::Position(INT_MAX, 1, 1000), 1000);
    EXPECT_LT(ProgBar::Position(INT_MIN, 1, 1000), 0);
    EXPECT_LT(ProgBar::Position(5, -1, 100), 0);
}

}  // namespace
}  // namespace vantor
