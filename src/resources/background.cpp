// SPDX-License-Identifier: MIT
#include "resources/background.h"

#include <QPainter>

#include "resources/art.h"

namespace vantor {

PictureBox::PictureBox(const QString& name, const QPixmap& picture, Fit fit, QWidget* parent)
    : QWidget(parent), picture_(picture), fit_(fit) {
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent, !picture.isNull());
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (fit_ == Fit::Stretched) {
        painter.drawPixmap(rect(), picture_);
        return;
    }
    const QSizeF source = picture_.deviceIndependentSize();
    const int shownWidth = qRound(source.width() * height() / source.height());
    painter.drawPixmap(QRect(0, 0, shownWidth, height()), picture_);
    if (shownWidth < width()) {
        const int lastColumn = picture_.width() - 1;
        painter.drawPixmap(QRect(shownWidth, 0, width() - shownWidth, height()), picture_,
                           QRect(lastColumn, 0, 1, picture_.height()));
    }
}

PictureBox* MakeBackground(QWidget* window, const QPixmap& picture) {
    auto* box =
        new PictureBox(QStringLiteral("BGImage"), picture, PictureBox::Fit::Stretched, window);
    box->setGeometry(window->rect());
    box->lower();
    return box;
}

void ApplyBackground(QWidget* window) {
    const QPixmap background = art::SharedBackground();
    QPalette pal = window->palette();
    if (!background.isNull()) pal.setBrush(QPalette::Window, QBrush(background));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

}  // namespace vantor
