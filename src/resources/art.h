// SPDX-License-Identifier: MIT
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace vantor::art {

// The words that have pictures in all three button states.
const QStringList& ButtonWords();

// Resource path of a button picture, e.g. ":/buttons/OK0.bmp"; state is 0, 1 or 2.
QString ButtonPath(const QString& word, int state);

// Loads a picture from the resources, taking its "@2x" twin on screens scaled by 2 or more.
// A null pixmap when the picture does not exist.
QPixmap Load(const QString& path, qreal devicePixelRatio);

// The "HAND" pointer shown over clickable pictures.
QCursor HandCursor();

QPixmap Background(qreal devicePixelRatio);
QPixmap Title(qreal devicePixelRatio);
QIcon WindowIcon();

// A buddy's status icon at every size painted (12, 18 and 24 pixels, for 100 %, 150 % and
// 200 %): "offline", "hiding", "online", "chat", "game" or "unknown". Made once per name.
QIcon StatusIcon(const QString& name);
inline constexpr int kStatusIconSide = 12;  // logical pixels

// The background and banner every window shows, for the screen's scale. Loaded once (start-up
// asks for them before any window exists) and kept in the pixmap cache.
QPixmap SharedBackground();
QPixmap SharedTitle();

}  // namespace vantor::art
