// SPDX-License-Identifier: MIT
// Paints the program's artwork: the button pictures in three states, the hand pointer, the
// shared background tile, the title banner and the window icon; each at 1x and 2x; and the buddy
// list's status icons at 12, 18 and 24 pixels.
// Usage: vantor_artgen <output folder> <button word>...
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <cstdio>

#include "controls/theme.h"

namespace {

// The windows' palette, so the pictures match the controls drawn around them.
namespace paint = vantor::theme::paint;
using vantor::theme::kBand;
using vantor::theme::kOrange;
using vantor::theme::kWhite;
constexpr QColor kBackground = vantor::theme::kDarkRed;

QString g_family;

QFont BoldFont(qreal pixelSize) {
    QFont font(g_family);
    font.setBold(true);
    font.setPixelSize(qRound(pixelSize));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// A font that exists on every target machine, so the pictures come out the same everywhere.
bool LoadFont() {
    const QStringList candidates = {
        QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"),
        QStringLiteral("/usr/share/fonts/TTF/DejaVuSans-Bold.ttf"),
    };
    for (const QString& path : candidates) {
        const int id = QFontDatabase::addApplicationFont(path);
        if (id >= 0) {
            g_family = QFontDatabase::applicationFontFamilies(id).value(0);
            return true;
        }
    }
    g_family = QStringLiteral("DejaVu Sans");
    return QFontDatabase::families().contains(g_family);
}

// Paints in logical units onto an image of scale times the size, so 2x pictures are redrawn
// rather than enlarged.
QImage Canvas(int width, int height, int scale, QImage::Format format) {
    QImage image(width * scale, height * scale, format);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

QImage Button(const QString& word, int state, int scale) {
    constexpr int kW = 100;
    constexpr int kH = 34;
    QImage image = Canvas(kW, kH, scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const bool pressed = state == 1;
    const bool disabled = state == 2;
    const QRectF outer(0, 0, kW, kH);

    // Frame: a dark edge around a bevel; pressed swaps the bevel so the face looks pushed in.
    p.fillRect(outer, paint::kButtonEdge);
    const QRectF face = outer.adjusted(1, 1, -1, -1);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (disabled) {
        fill.setColorAt(0, paint::kOffTop);
        fill.setColorAt(1, paint::kOffBottom);
    } else if (pressed) {
        fill.setColorAt(0, paint::kPressedTop);
        fill.setColorAt(1, paint::kPressedBottom);
    } else {
        fill.setColorAt(0, paint::kFaceTop);
        fill.setColorAt(0.5, kBand);
        fill.setColorAt(1, paint::kFaceBottom);
    }
    p.fillRect(face, fill);

    const QColor light = disabled ? paint::kOffBevelLight : paint::kBevelLight;
    const QColor dark = disabled ? paint::kOffBevelDark : vantor::theme::kDeepRed;
    const qreal half = 0.5;
    const QColor topLeft = pressed ? dark : light;
    const QColor bottomRight = pressed ? light : dark;
    p.setPen(QPen(topLeft, 1));
    p.drawLine(QPointF(1 + half, 1 + half), QPointF(kW - 1 - half, 1 + half));
    p.drawLine(QPointF(1 + half, 1 + half), QPointF(1 + half, kH - 1 - half));
    p.setPen(QPen(bottomRight, 1));
    p.drawLine(QPointF(1 + half, kH - 1 - half), QPointF(kW - 1 - half, kH - 1 - half));
    p.drawLine(QPointF(kW - 1 - half, 1 + half), QPointF(kW - 1 - half, kH - 1 - half));
    if (pressed) {
        // A second inner shadow line deepens the inset.
        p.setPen(QPen(paint::kInsetShadow, 1));
        p.drawLine(QPointF(2 + half, 2 + half), QPointF(kW - 2 - half, 2 + half));
        p.drawLine(QPointF(2 + half, 2 + half), QPointF(2 + half, kH - 2 - half));
    }

    // The word: largest size up to 13 px that leaves a margin on both sides.
    qreal size = 13;
    QFont font = BoldFont(size);
    while (size > 8 && QFontMetricsF(font).horizontalAdvance(word) > kW - 14) {
        size -= 0.5;
        font = BoldFont(size);
    }
    p.setFont(font);
    QRectF textBox = outer;
    if (pressed) textBox.translate(1, 1);
    if (!disabled) {
        p.setPen(paint::kWordShadow);
        p.drawText(textBox.translated(1, 1), Qt::AlignCenter, word);
    }
    p.setPen(disabled ? paint::kOffWord : (pressed ? kOrange : kWhite));
    p.drawText(textBox, Qt::AlignCenter, word);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

// A pointing hand, hot spot at the fingertip (6, 1).
QImage Hand(int scale) {
    QImage image = Canvas(32, 32, scale, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hand;
    hand.addRoundedRect(QRectF(4.5, 1, 4, 14), 2, 2);           // index finger
    hand.addRoundedRect(QRectF(8, 8, 4, 9), 2, 2);              // middle
    hand.addRoundedRect(QRectF(11.5, 9, 4, 9), 2, 2);           // ring
    hand.addRoundedRect(QRectF(15, 10, 3.5, 8.5), 1.75, 1.75);  // little
    hand.addRoundedRect(QRectF(4.5, 13, 14, 10), 3, 3);         // palm
    QPainterPath thumb;
    thumb.moveTo(5, 19);
    thumb.lineTo(1.5, 14.5);
    thumb.quadTo(1, 12.5, 3, 12.5);
    thumb.lineTo(6, 15);
    hand = hand.united(thumb).simplified();
    p.setPen(QPen(vantor::theme::kBlack, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kWhite);
    p.drawPath(hand);
    p.end();
    return image;
}

// The shared background: a quiet dark red tile with a faint diagonal weave, so text on it reads.
QImage Background(int scale) {
    constexpr int kSide = 64;
    QImage image = Canvas(kSide, kSide, scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(QRectF(0, 0, kSide, kSide), kBackground);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(paint::kWeave, 1));
    for (int i = -kSide; i < kSide; i += 8) {
        p.drawLine(QPointF(i, 0), QPointF(i + kSide, kSide));
    }
    p.setPen(QPen(paint::kWeaveDark, 1));
    for (int i = 0; i < 2 * kSide; i += 8) {
        p.drawLine(QPointF(i, 0), QPointF(i - kSide, kSide));
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

// The banner across the top of a window: wide enough for any window, which shows its left part.
QImage Title(int scale) {
    constexpr int kW = 640;
    constexpr int kH = 40;
    QImage image = Canvas(kW, kH, scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient fill(0, 0, 0, kH);
    fill.setColorAt(0, paint::kBannerTop);
    fill.setColorAt(0.6, kBand);
    fill.setColorAt(1, kBackground);
    p.fillRect(QRectF(0, 0, kW, kH), fill);
    p.fillRect(QRectF(0, kH - 2, kW, 2), kOrange);
    // A row of chevrons to the right of the word mark.
    p.setPen(Qt::NoPen);
    for (int x = 240; x < kW; x += 22) {
        QPainterPath chevron;
        chevron.moveTo(x, 10);
        chevron.lineTo(x + 8, 19);
        chevron.lineTo(x, 28);
        chevron.lineTo(x + 5, 28);
        chevron.lineTo(x + 13, 19);
        chevron.lineTo(x + 5, 10);
        chevron.closeSubpath();
        p.setBrush(paint::kChevron);
        p.drawPath(chevron);
    }
    p.setFont(BoldFont(20));
    p.setPen(paint::kMarkShadow);
    p.drawText(QRectF(13, 1, 400, kH - 2), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("VANTOR"));
    p.setPen(kOrange);
    p.drawText(QRectF(12, 0, 400, kH - 2), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("VANTOR"));
    const qreal mark = QFontMetricsF(BoldFont(20)).horizontalAdvance(QStringLiteral("VANTOR "));
    p.setFont(BoldFont(13));
    p.setPen(kWhite);
    p.drawText(QRectF(12 + mark, 2, 300, kH - 2), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("DESKTOP"));
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage Icon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);
    QLinearGradient fill(0, 0, 0, 64);
    fill.setColorAt(0, paint::kFaceTop);
    fill.setColorAt(1, kBackground);
    p.setPen(QPen(kOrange, 2));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QPainterPath v;
    v.moveTo(14, 14);
    v.lineTo(24, 14);
    v.lineTo(32, 38);
    v.lineTo(40, 14);
    v.lineTo(50, 14);
    v.lineTo(37, 51);
    v.lineTo(27, 51);
    v.closeSubpath();
    p.setPen(QPen(vantor::theme::kDeepRed, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kOrange);
    p.drawPath(v);
    p.end();
    return image;
}

// The buddy list's status icons, one per kind of location, drawn on a 12-unit square at each
// size so that every size is sharp. Names as art::StatusIcon asks for them.
constexpr const char* kStatusNames[] = {"offline", "hiding", "online", "chat", "game", "unknown"};

QImage StatusIcon(const QString& name, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 12.0, side / 12.0);
    const QPen edge(paint::kStatusEdge, 1.0);
    const QRectF disc(1.5, 1.5, 9, 9);
    if (name == QLatin1String("online")) {
        p.setPen(edge);
        p.setBrush(paint::kStatusOnline);
        p.drawEllipse(disc);
    } else if (name == QLatin1String("offline")) {
        // A hollow ring: nobody there.
        p.setPen(QPen(paint::kStatusEdge, 3.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(QPen(paint::kStatusOffline, 1.5));
        p.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    } else if (name == QLatin1String("hiding")) {
        // Half a disc: there, but not to be seen.
        p.setPen(edge);
        p.setBrush(kBand);
        p.drawEllipse(disc);
        QPainterPath half;
        half.moveTo(6, 1.5);
        half.arcTo(disc, 90, 180);
        half.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(paint::kStatusHiding);
        p.drawPath(half);
    } else if (name == QLatin1String("chat")) {
        // A speech bubble with its tail down to the left.
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(0.75, 1.25, 10.5, 7), 2.5, 2.5);
        QPainterPath tail;
        tail.moveTo(2.5, 7);
        tail.lineTo(2.25, 11);
        tail.lineTo(6, 7.5);
        tail.closeSubpath();
        p.setPen(edge);
        p.setBrush(paint::kStatusChat);
        p.drawPath(bubble.united(tail).simplified());
        p.setPen(Qt::NoPen);
        p.setBrush(paint::kStatusEdge);
        for (qreal x : {3.5, 6.0, 8.5}) p.drawEllipse(QPointF(x, 4.75), 0.8, 0.8);
    } else if (name == QLatin1String("game")) {
        // A play mark on a square.
        p.setPen(edge);
        p.setBrush(paint::kStatusGame);
        p.drawRoundedRect(QRectF(1, 1, 10, 10), 2, 2);
        QPainterPath play;
        play.moveTo(4.25, 3.25);
        play.lineTo(8.75, 6);
        play.lineTo(4.25, 8.75);
        play.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawPath(play);
    } else {
        // A question mark in a ring: not known.
        p.setPen(QPen(paint::kStatusUnknown, 1.25));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(disc.adjusted(0.25, 0.25, -0.25, -0.25));
        QPainterPath mark;
        mark.moveTo(4.4, 4.8);
        mark.cubicTo(4.4, 2.6, 7.8, 2.6, 7.6, 4.8);
        mark.cubicTo(7.5, 5.9, 6, 5.9, 6, 7.2);
        p.setPen(QPen(paint::kStatusUnknown, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(mark);
        p.setPen(Qt::NoPen);
        p.setBrush(paint::kStatusUnknown);
        p.drawEllipse(QPointF(6, 9), 0.8, 0.8);
    }
    p.end();
    return image;
}

bool Save(const QImage& image, const QString& path) {
    if (image.save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vantor_artgen <output folder> <button word>...\n");
        return 2;
    }
    if (!LoadFont()) {
        std::fprintf(stderr, "DejaVu Sans Bold is missing (install fonts-dejavu-core)\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"buttons", "cursors", "backgrounds", "icons", "status"}) {
        if (!out.mkpath(QString::fromLatin1(sub))) return 1;
    }
    bool ok = true;
    for (int i = 2; i < argc; ++i) {
        const QString word = QString::fromLatin1(argv[i]);
        for (int state = 0; state < 3; ++state) {
            const QString base = out.filePath(QStringLiteral("buttons/%1%2").arg(word).arg(state));
            ok &= Save(Button(word, state, 1), base + QStringLiteral(".bmp"));
            ok &= Save(Button(word, state, 2), base + QStringLiteral("@2x.bmp"));
        }
    }
    ok &= Save(Hand(1), out.filePath(QStringLiteral("cursors/HAND.png")));
    ok &= Save(Hand(2), out.filePath(QStringLiteral("cursors/HAND@2x.png")));
    ok &= Save(Background(1), out.filePath(QStringLiteral("backgrounds/BGImg.png")));
    ok &= Save(Background(2), out.filePath(QStringLiteral("backgrounds/BGImg@2x.png")));
    ok &= Save(Title(1), out.filePath(QStringLiteral("backgrounds/TITLEBGImg.png")));
    ok &= Save(Title(2), out.filePath(QStringLiteral("backgrounds/TITLEBGImg@2x.png")));
    for (int side : {16, 32, 48, 64, 128, 256}) {
        ok &= Save(Icon(side), out.filePath(QStringLiteral("icons/vantor-%1.png").arg(side)));
    }
    for (const char* name : kStatusNames) {
        for (int side : {12, 18, 24}) {
            ok &= Save(
                StatusIcon(QString::fromLatin1(name), side),
                out.filePath(
                    QStringLiteral("status/%1-%2.png").arg(QString::fromLatin1(name)).arg(side)));
        }
    }
    return ok ? 0 : 1;
}
