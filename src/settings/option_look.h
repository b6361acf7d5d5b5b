// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace vantor {

// The look the two options windows share: the background picture with white text, and headings
// in white bold on a dark red band.
void ApplyOptionsLook(QWidget* window);
QLabel* OptionsHeading(const QString& text, const QString& name, QWidget* parent);

}  // namespace vantor
