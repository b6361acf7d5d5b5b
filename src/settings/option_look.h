// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QDialog;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace vantor {

class VantorBtn;

// The look the two options windows share: a fixed dialog with the program's icon and only a close
// box, the background picture with white text, and headings in white bold on a dark red band.
void ApplyOptionsLook(QDialog* window);
QLabel* OptionsHeading(const QString& text, const QString& name, QWidget* parent);

// The dark red and orange of a choice or a number (a combo box, a spin box), set through the
// palette: a style sheet would take the drawing of their arrows too. The keyboard's focus and the
// selection are orange, so they stand out on the dark red.
void ApplyFieldColours(QWidget* field);

// A heading and the grid of its controls under it, added to `body`; `wide` is the grid's column
// that takes the spare width.
QGridLayout* AddOptionsSection(QVBoxLayout* body, const QString& text, const QString& name,
                               int wide, QWidget* parent);

// The row of OK and CANCEL at the right, added to `body`; its left end is free.
struct OkCancelRow {
    QHBoxLayout* row;
    VantorBtn* ok;
    VantorBtn* cancel;
};
OkCancelRow AddOkCancel(QVBoxLayout* body, QWidget* parent);

}  // namespace vantor
