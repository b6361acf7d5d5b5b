// SPDX-License-Identifier: MIT
#include "app/tray_icon.h"

#include <QAbstractButton>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

#include "app/desktop_notifier.h"
#include "app/vantor_chat_ui.h"
#include "controls/theme.h"
#include "resources/art.h"

namespace vantor {

namespace {

QIcon MarkedIcon() {
    QPixmap picture = art::WindowIcon().pixmap(64, 64);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(theme::kOrange);
    painter.drawEllipse(QRectF(36, 0, 28, 28));
    return QIcon(picture);
}

}  // namespace

TrayIcon::TrayIcon(QWidget& main)
    : QObject(&main), main_(main), menu_(new QMenu()), icon_(new QSystemTrayIcon(this)) {
    icon_->setToolTip(main.windowTitle());
    icon_->setContextMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &TrayIcon::FillMenu);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger) RaiseWindow(&main_);
    });
    FillMenu();
    ShowMark();
    icon_->show();
}

TrayIcon::~TrayIcon() {
    delete menu_;  // a tray menu has no parent widget
}

void TrayIcon::FillMenu() {
    // Built as it opens, so LOG or LOGOUT reads as the button does now.
    menu_->clear();
    menu_->addAction(QStringLiteral("Main window"), this, [this] { RaiseWindow(&main_); });
    auto* window = qobject_cast<VantorChatUI*>(&main_);
    menu_->addAction(window ? LogInText(window->Session().Controls().word) : QStringLiteral("LOG"),
                     this, [this] { PressButton("LogInBtn"); });
    menu_->addAction(QStringLiteral("QUIT"), this, [this] { PressButton("Quit"); });
}

void TrayIcon::PressButton(const char* objectName) {
    auto* button = main_.findChild<QAbstractButton*>(QLatin1String(objectName));
    if (button && button->isEnabled()) button->click();
}

bool TrayIcon::MarkUnread(QWidget* window) {
    if (unread_.contains(window)) return false;
    unread_.append(window);
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, &TrayIcon::Forget);
    ShowMark();
    return true;
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Forget(watched);
    return QObject::eventFilter(watched, event);
}

void TrayIcon::Forget(QObject* window) {
    if (!unread_.removeOne(window)) return;
    window->removeEventFilter(this);
    disconnect(window, &QObject::destroyed, this, &TrayIcon::Forget);
    ShowMark();
}

void TrayIcon::ShowMark() {
    icon_->setIcon(HasUnread() ? MarkedIcon() : art::WindowIcon());
}

}  // namespace vantor
