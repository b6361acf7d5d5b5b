// SPDX-License-Identifier: MIT
#include "controls/theme.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace vantor {

QString TextStyle(const QColor& colour, bool bold) {
    QString style = QStringLiteral("color: %1; background: transparent;").arg(colour.name());
    if (bold) style += QStringLiteral(" font-weight: bold;");
    return style;
}

QString FieldStyle() {
    return QStringLiteral(
               "QLineEdit { background-color: %1; color: %2; "
               "border: 1px solid %3; lineedit-password-character: 42; }")
        .arg(theme::kDarkRed.name(), theme::kOrange.name(), theme::kEmber.name());
}

QString PushButtonStyle() {
    return QStringLiteral(
               "QPushButton { background-color: %1; color: %2; border: 1px solid %3; "
               "padding: 3px 10px; } "
               "QPushButton:focus { border: 2px solid %4; } "
               "QPushButton:pressed { background-color: %5; }")
        .arg(theme::kDarkRed.name(), theme::kOrange.name(), theme::kEmber.name(),
             theme::kWhite.name(), theme::kBand.name());
}

void ThemeScrollBars(QAbstractScrollArea* area) {
    static const QString style =
        QStringLiteral(
            "QScrollBar { background: %1; border: none; margin: 0; }"
            "QScrollBar:vertical { width: 14px; }"
            "QScrollBar:horizontal { height: 14px; }"
            "QScrollBar::handle { background: %2; border-radius: 3px; margin: 2px; }"
            "QScrollBar::handle:vertical { min-height: 20px; }"
            "QScrollBar::handle:horizontal { min-width: 20px; }"
            "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; }"
            "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(theme::kDeepRed.name(), theme::kEmber.name());
    // The track's colour covers the whole bar, so what lies behind it is never painted first: a
    // box whose scroll bar moves with every new line would otherwise repaint that strip of the
    // window's tiled background each time.
    for (QScrollBar* bar : {area->verticalScrollBar(), area->horizontalScrollBar()}) {
        bar->setStyleSheet(style);
        bar->setAttribute(Qt::WA_OpaquePaintEvent);
    }
}

}  // namespace vantor
