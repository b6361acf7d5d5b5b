// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>

class QLabel;
class QWidget;

namespace vantor {

// The shared background picture of the settings dialog (or its stand-in when none is loaded).
QPixmap SharedBackgroundPicture();
QPixmap SharedTitlePicture();

// A picture label stretched over the whole client area of window, kept below every other child.
// The caller resizes it with the window.
QLabel* MakeBackground(QWidget* window, const QPixmap& picture);

}  // namespace vantor
