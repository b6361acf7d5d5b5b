// SPDX-License-Identifier: MIT
#include "resources/art.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPixmapCache>

namespace vantor::art {

namespace {

qreal ScreenRatio() {
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

}  // namespace

const QStringList& ButtonWords() {
    static const QStringList words = {
        QStringLiteral("ABOUT"),  QStringLiteral("ADD"),      QStringLiteral("CANCEL"),
        QStringLiteral("CHAT"),   QStringLiteral("CLOSE"),    QStringLiteral("DEL"),
        QStringLiteral("EMOTE"),  QStringLiteral("IGNORE"),   QStringLiteral("LOG"),
        QStringLiteral("LOGOUT"), QStringLiteral("MOVEDOWN"), QStringLiteral("MOVEUP"),
        QStringLiteral("OK"),     QStringLiteral("OPTIONS"),  QStringLiteral("ORDER"),
        QStringLiteral("PAGE"),   QStringLiteral("QUIT"),     QStringLiteral("REFRESH"),
        QStringLiteral("SEND"),   QStringLiteral("UNIGNORE"), QStringLiteral("WEBSITE")};
    return words;
}

QString ButtonPath(const QString& word, int state) {
    return QStringLiteral(":/buttons/%1%2.bmp").arg(word).arg(state);
}

QPixmap Load(const QString& path, qreal devicePixelRatio) {
    const bool twice = devicePixelRatio > 1.0;
    const QString key = twice ? path + QStringLiteral("@2x") : path;
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) return pixmap;
    if (twice) {
        const int dot = path.lastIndexOf(QLatin1Char('.'));
        const QString twin = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
        if (QFile::exists(twin) && pixmap.load(twin)) pixmap.setDevicePixelRatio(2.0);
    }
    if (pixmap.isNull() && !pixmap.load(path)) return {};
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QCursor HandCursor() {
    const QPixmap hand = Load(QStringLiteral(":/cursors/HAND.png"), ScreenRatio());
    if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, 6, 1);
}

QPixmap Background(qreal devicePixelRatio) {
    return Load(QStringLiteral(":/backgrounds/BGImg.png"), devicePixelRatio);
}

QPixmap Title(qreal devicePixelRatio) {
    return Load(QStringLiteral(":/backgrounds/TITLEBGImg.png"), devicePixelRatio);
}

QPixmap SharedBackground() {
    return Background(ScreenRatio());
}

QPixmap SharedTitle() {
    return Title(ScreenRatio());
}

QIcon WindowIcon() {
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/vantor-%1.png").arg(side), QSize(side, side));
    }
    return icon;
}

QIcon StatusIcon(const QString& name) {
    static QHash<QString, QIcon> made;
    const auto found = made.constFind(name);
    if (found != made.constEnd()) return *found;
    QIcon icon;
    for (int side : {12, 18, 24})
        icon.addFile(QStringLiteral(":/status/%1-%2.png").arg(name).arg(side), QSize(side, side));
    made.insert(name, icon);
    return icon;
}

}  // namespace vantor::art
