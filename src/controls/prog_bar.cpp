// SPDX-License-Identifier: MIT
#include "controls/prog_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "common/qt_text.h"

namespace vantor {

namespace {

// What assistive technology sees: a progress bar with its value on a scale of 0..Max, not an
// unnamed picture.
class ProgBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ProgBarAccessible(ProgBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return QStringLiteral("%1 of %2").arg(Bar()->Value()).arg(Bar()->Max());
        }
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return Bar()->Value(); }
    void setCurrentValue(const QVariant&) override {
    }  // shows progress; nobody sets it from outside
    QVariant maximumValue() const override { return Bar()->Max(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    ProgBar* Bar() const { return static_cast<ProgBar*>(widget()); }
};

QAccessibleInterface* ProgBarAccessibleFactory(const QString&, QObject* object) {
    if (auto* bar = qobject_cast<ProgBar*>(object)) return new ProgBarAccessible(bar);
    return nullptr;
}

}  // namespace

ProgBar::ProgBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&ProgBarAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
}

void ProgBar::NotifyValue() {
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent event(this, value_);
    QAccessible::updateAccessibility(&event);
}

int ProgBar::Value() const {
    return value_;
}
int ProgBar::Max() const {
    return max_;
}
std::uint32_t ProgBar::ForeColor() const {
    return fore_;
}
std::uint32_t ProgBar::BackColor() const {
    return back_;
}

QSize ProgBar::sizeHint() const {
    return {200, 16};
}

int ProgBar::Position(int value, int max, int width) {
    if (max == 0) return 0;
    const double position = double(width) / double(max) * double(value);
    // Values far outside 0..Max still draw; keep the conversion to int defined.
    const double limit = 1e9;
    return int(std::nearbyint(std::clamp(position, -limit, limit)));
}

QRect ProgBar::Strip(int from, int to, int max, int width, int height) {
    if (max == 0) return {};
    const int a = Position(from, max, width);
    const int b = Position(to, max, width);
    return QRect(QPoint(std::min(a, b), 0), QPoint(std::max(a, b) - 1, height - 1));
}

void ProgBar::SetValue(int value) {
    if (value != value_) {
        value_ = value;
        NotifyValue();
    }
    if (max_ == 0 || value_ == lastDrawn_) return;
    const QRect strip = Strip(lastDrawn_, value_, max_, width(), height());
    Fill(strip, value_ > lastDrawn_ ? fore_ : back_);
    lastDrawn_ = value_;
}

void ProgBar::SetMax(int max) {
    if (max != max_) {
        max_ = max;
        NotifyValue();
    }
    DrawFull();
}

void ProgBar::SetForeColor(std::uint32_t colour) {
    fore_ = colour;
    DrawFull();
}

void ProgBar::SetBackColor(std::uint32_t colour) {
    back_ = colour;
    DrawFull();
}

void ProgBar::DrawFull() {
    if (max_ == 0) return;
    const int split = Position(value_, max_, width());
    Fill(QRect(QPoint(0, 0), QPoint(split - 1, height() - 1)), fore_);
    Fill(QRect(QPoint(split, 0), QPoint(width() - 1, height() - 1)), back_);
}

void ProgBar::Fill(const QRect& rect, std::uint32_t colour) {
    const QRect visible = rect.intersected(this->rect());
    if (visible.isEmpty() || surface_.isNull()) return;
    QPainter painter(&surface_);
    painter.fillRect(visible, ColourFromBgr(colour));
    painter.end();
    update(visible);
}

void ProgBar::resizeEvent(QResizeEvent* event) {
    const qreal ratio = devicePixelRatioF();
    QImage surface(size() * ratio, QImage::Format_RGB32);
    surface.setDevicePixelRatio(ratio);
    surface.fill(ColourFromBgr(back_));
    if (!surface_.isNull()) {
        QPainter painter(&surface);
        painter.drawImage(QPoint(0, 0), surface_);
    }
    surface_ = surface;
    DrawFull();
    QWidget::resizeEvent(event);
}

void ProgBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (surface_.isNull()) {
        painter.fillRect(event->rect(), ColourFromBgr(back_));
        return;
    }
    // The paint event's region already clips this to the strip that changed.
    painter.drawImage(QPoint(0, 0), surface_);
}

}  // namespace vantor
