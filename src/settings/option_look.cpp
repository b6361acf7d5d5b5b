// SPDX-License-Identifier: MIT
#include "settings/option_look.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

#include "controls/theme.h"
#include "controls/vantor_btn.h"
#include "resources/art.h"

namespace vantor {

void ApplyOptionsLook(QDialog* window) {
    window->setWindowIcon(art::WindowIcon());
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
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

QGridLayout* AddOptionsSection(QVBoxLayout* body, const QString& text, const QString& name,
                               int wide, QWidget* parent) {
    body->addSpacing(4);
    body->addWidget(OptionsHeading(text, name, parent));
    auto* grid = new QGridLayout;
    grid->setContentsMargins(8, 2, 0, 2);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(wide, 1);
    body->addLayout(grid);
    return grid;
}

OkCancelRow AddOkCancel(QVBoxLayout* body, QWidget* parent) {
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 12, 0, 0);
    buttons->setSpacing(10);
    buttons->addStretch(1);
    auto* ok = new VantorBtn(QStringLiteral("OK"), parent);
    ok->setObjectName(QStringLiteral("OKBtn"));
    auto* cancel = new VantorBtn(QStringLiteral("CANCEL"), parent);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    body->addLayout(buttons);
    return {buttons, ok, cancel};
}

void ApplyFieldColours(QWidget* field) {
    QPalette palette = field->palette();
    for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window}) {
        palette.setColor(role, theme::kDarkRed);
    }
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
        palette.setColor(role, theme::kOrange);
    }
    palette.setColor(QPalette::Highlight, theme::kOrange);
    palette.setColor(QPalette::HighlightedText, theme::kDarkRed);
    field->setPalette(palette);
}

}  // namespace vantor
