// SPDX-License-Identifier: MIT
#include "resources/art.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>

namespace vantor {
namespace {

int BitsPerPixel(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray header = file.read(30);
    if (header.size() < 30 || !header.startsWith("BM")) return -1;
    return uchar(header[28]) | (uchar(header[29]) << 8);
}

double Saturation(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) sum += image.pixelColor(x, y).hsvSaturationF();
    }
    return sum / (image.width() * image.height());
}

// Pressed and disabled must look different from normal, and disabled visibly grey.
TEST(Art, everyButtonWordHasThreeDistinctPicturesAtBothScales) {
    ASSERT_EQ(art::ButtonWords().size(), 21);
    EXPECT_TRUE(art::Load(QStringLiteral(":/buttons/NONESUCH0.bmp"), 2.0).isNull());
    for (const QString& word : art::ButtonWords()) {
        QImage states[3];
        for (int state = 0; state < 3; ++state) {
            const QString path = art::ButtonPath(word, state);
            SCOPED_TRACE(path.toStdString());
            states[state] = QImage(path);
            ASSERT_FALSE(states[state].isNull());
            EXPECT_EQ(states[state].size(), QSize(100, 34));
            EXPECT_EQ(BitsPerPixel(path), 24);

            const QPixmap sharp = art::Load(path, 2.0);
            EXPECT_EQ(sharp.size(), QSize(200, 68));
            EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
        }
        EXPECT_NE(states[0], states[1]) << word.toStdString();
        EXPECT_LT(Saturation(states[2]), Saturation(states[0]) / 2) << word.toStdString();
    }
}

}  // namespace
}  // namespace vantor
