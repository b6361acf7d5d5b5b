// SPDX-License-Identifier: MIT
#pragma once

class QAbstractScrollArea;

namespace vantor {

// Gives a list or history box scroll bars in the windows' dark-red theme instead of the
// platform's light ones. Only the scroll bars are styled, so the box keeps its own palette.
void ThemeScrollBars(QAbstractScrollArea* area);

}  // namespace vantor
