// SPDX-License-Identifier: MIT
#include "controls/vantor_btn.h"

#include <QEvent>
#include <QFile>
#include <QPainter>

#include "controls/theme.h"
#include "resources/art.h"

namespace vantor {

namespace {

QString PicturePath(const QString& picture) {
    return QStringLiteral(":/buttons/%1.bmp").arg(picture);
}

}  // namespace

VantorBtn::VantorBtn(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);
    // pressed() and released() repaint through setDown(); the picture name follows them.
    connect(this, &QAbstractButton::pressed, this, &VantorBtn::UpdateState);
    connect(this, &QAbstractButton::released, this, &VantorBtn::UpdateState);
    connect(this, &QAbstractButton::clicked, this, &VantorBtn::Click);
    UpdateState();
}

VantorBtn::VantorBtn(const QString& word, QWidget* parent) : VantorBtn(parent) {
    SetBtnText(word);
}

QString VantorBtn::BtnText() const {
    return text_;
}

void VantorBtn::SetBtnText(const QString& text) {
    if (text.isEmpty()) return;
    text_ = text.toUpper();
    // The text is kept for assistive technology only; paintEvent never draws it.
    setText(text_);
    setAccessibleName(text_);
    UpdateState();
}

bool VantorBtn::Enabled() const {
    return !testAttribute(Qt::WA_ForceDisabled);
}

void VantorBtn::SetEnabled(bool enabled) {
    setEnabled(enabled);
    UpdateState();
}

QSize VantorBtn::sizeHint() const {
    return {kWidth, kHeight};
}
QSize VantorBtn::minimumSizeHint() const {
    return sizeHint();
}

void VantorBtn::UpdateState() {
    if (isEnabled()) {
        setCursor(art::HandCursor());
    } else {
        unsetCursor();
    }
    RefreshPicture();
    update();
}

void VantorBtn::RefreshPicture() {
    if (text_.isEmpty()) return;
    const int state = !isEnabled() ? 2 : (isDown() ? 1 : 0);
    const QString picture = text_ + QString::number(state);
    // A word without pictures keeps whatever was shown before.
    if (picture != picture_ && QFile::exists(PicturePath(picture))) picture_ = picture;
}

void VantorBtn::paintEvent(QPaintEvent*) {
    // setDown() from code repaints without a pressed() or released() signal.
    RefreshPicture();
    QPainter painter(this);
    if (!picture_.isEmpty()) {
        const QPixmap pixmap = art::Load(PicturePath(picture_), devicePixelRatioF());
        painter.drawPixmap(0, 0, pixmap);
    }
    // Like the standard buttons: the mark appears once the keyboard has moved the focus.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        QPen pen(theme::kWhite, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}

void VantorBtn::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) UpdateState();
    QAbstractButton::changeEvent(event);
}

void VantorBtn::resizeEvent(QResizeEvent* event) {
    // Hosts may ask for any size (layouts, setGeometry); the pictures only fit one.
    if (size() != QSize(kWidth, kHeight)) setFixedSize(kWidth, kHeight);
    QAbstractButton::resizeEvent(event);
}

}  // namespace vantor
