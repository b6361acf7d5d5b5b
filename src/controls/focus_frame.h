// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace vantor {

// The frame's width in logical pixels, so it keeps its look at every scale.
inline constexpr int kFocusFrameWidth = 2;

// Draws a frame in the theme's orange along the inside edge of box while it has the keyboard
// focus, over its own frame, viewport and scroll bars: a history or list otherwise looks the
// same focused or not. For any list or history box (QTreeWidget, QListWidget, QTextEdit);
// calling it twice on one box changes nothing.
void ShowFocusFrame(QWidget* box);

}  // namespace vantor
