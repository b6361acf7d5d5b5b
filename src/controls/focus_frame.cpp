// SPDX-License-Identifier: MIT
#include "controls/focus_frame.h"

#include <QEvent>
#include <QFocusFrame>
#include <QPainter>
#include <QRegion>

#include "controls/theme.h"

namespace vantor {

namespace {

// A QFocusFrame so assistive technology skips it, placed and shown by hand: the standard one
// follows the style's margins and sits outside the box, over its neighbours.
class FocusRing final : public QFocusFrame {
public:
    explicit FocusRing(QWidget* box) : QFocusFrame(box) {
        setObjectName(QStringLiteral("FocusFrame"));
        hide();
        box->installEventFilter(this);
        for (QObject* child : box->children()) Watch(child);
        Follow();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != parent()) {
            // A scroll area raises its scroll bars whenever it lays them out.
            if (event->type() == QEvent::ZOrderChange && isVisible()) raise();
            return false;
        }
        switch (event->type()) {
            case QEvent::ChildAdded:
                Watch(static_cast<QChildEvent*>(event)->child());
                Follow();
                break;
            case QEvent::FocusIn:
            case QEvent::FocusOut:
            case QEvent::Show:
            case QEvent::Resize:
                Follow();
                break;
            default:
                break;
        }
        return false;
    }

    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), theme::kOrange);  // the mask keeps it to the ring
    }

private:
    void Watch(QObject* child) {
        if (child != this && child->isWidgetType()) child->installEventFilter(this);
    }

    void Follow() {
        QWidget* box = parentWidget();
        if (!box->hasFocus()) {
            hide();
            return;
        }
        if (geometry() != box->rect()) {
            setGeometry(box->rect());
            const QRect inner = rect().adjusted(kFocusFrameWidth, kFocusFrameWidth,
                                                -kFocusFrameWidth, -kFocusFrameWidth);
            setMask(QRegion(rect()).subtracted(QRegion(inner)));
        }
        raise();
        show();
    }
};

}  // namespace

void ShowFocusFrame(QWidget* box) {
    if (box == nullptr || box->findChild<FocusRing*>(QString(), Qt::FindDirectChildrenOnly)) return;
    new FocusRing(box);
}

}  // namespace vantor
