// SPDX-License-Identifier: MIT
#include "app/desktop_attention.h"

#include <QApplication>
#include <QSystemTrayIcon>

#include "app/tray_icon.h"
#include "settings/setting_names.h"
#include "settings/settings_source.h"

namespace vantor {

DesktopAttention::DesktopAttention(QDBusConnection bus, QWidget* main, DesktopNotifier::Clock clock)
    : notifier_(std::move(bus), std::move(clock)) {
    // Never a tray the desktop cannot show: the window would have nowhere to come back from.
    if (main != nullptr && Settings().Get(setting::kTrayIcon) != 0 &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        tray_ = new TrayIcon(*main);
    }
    SetAttention(this);
}

DesktopAttention::~DesktopAttention() {
    SetAttention(nullptr);
}

void DesktopAttention::Unread(QWidget* window) {
    if (tray_ == nullptr) return;
    // Once per unread spell: a flood into a window in the background asks for every line.
    if (tray_->MarkUnread(window)) QApplication::alert(window);
}

void DesktopAttention::Message(QWidget* window, const QString& sender, const QString& text) {
    if (Settings().Get(setting::kDesktopNotify) != 0) {
        notifier_.SetRateLimit(Settings().Get(setting::kNotifyRateLimit) != 0);
        notifier_.Message(window, sender, text);
    }
}

void DesktopAttention::Alert(QWidget* window, const QString& summary, const QString& body) {
    notifier_.Show(window, summary, body);
}

}  // namespace vantor
