// SPDX-License-Identifier: MIT
#include "settings/option_look.h"

#include <QLabel>

#include "controls/theme.h"
#include "resources/art.h"

namespace vantor {

void ApplyOptionsLook(QWidget* window) {
    QPalette palette = window->palette();
    palette.setBrush(QPalette::Window, QBrush(art::SharedBackground()));
    palette.setColor(QPalette::WindowText, theme::kWhite);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

QLabel* OptionsHeading(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, theme::kBand);
    palette.setColor(QPalette::WindowText, theme::kWhite);
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setContentsMargins(6, 3, 6, 3);
    return label;
}

}  // namespace vantor
