// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace vantor {

// Wrap bulk appends to the coloured history boxes: switch the control off (or on) and let
// pending window events run.
void DisableControl(QWidget* control);
void EnableControl(QWidget* control);

// Installs the factory that makes the debug window when the settings ask for one.
void InstallDebugWindowFactory();

}  // namespace vantor
