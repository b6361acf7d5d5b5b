// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QRect>
#include <ostream>

#include "controls/theme.h"

namespace vantor::test {

// How many device pixels of the focus frame's colour a box shows inward from the middle of each
// of its four edges: the frame's width there, or 0.
struct FrameEdges {
    int left, top, right, bottom;
    bool operator==(const FrameEdges&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const FrameEdges& e) {
    return os << e.left << "," << e.top << "," << e.right << "," << e.bottom;
}

// shot: a window's picture in device pixels; box: a control's place in it, in logical pixels.
inline FrameEdges FocusFrameAt(const QImage& shot, const QRect& box, qreal ratio) {
    const QRect device(QPoint(qRound(box.x() * ratio), qRound(box.y() * ratio)),
                       QSize(qRound(box.width() * ratio), qRound(box.height() * ratio)));
    const QRgb orange = theme::kOrange.rgb();
    auto run = [&](QPoint from, QPoint step) {
        int n = 0;
        for (QPoint p = from; device.contains(p) && shot.pixel(p) == orange; p += step) ++n;
        return n;
    };
    const QPoint mid = device.center();
    return {run({device.left(), mid.y()}, {1, 0}), run({mid.x(), device.top()}, {0, 1}),
            run({device.right(), mid.y()}, {-1, 0}), run({mid.x(), device.bottom()}, {0, -1})};
}

// The window as the screen shows it, in device pixels.
inline QImage Shot(QWidget* window) {
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace vantor::test
