// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <memory>

#include "app/desktop_notifier.h"
#include "controls/attention.h"

namespace vantor {

class TrayIcon;

// The program's answer to windows asking for attention: desktop notifications ("DesktopNotify")
// and, where the desktop has a tray, the tray icon's unread mark with the urgency hint
// ("TrayIcon"). Installs itself for the windows while it exists.
class DesktopAttention : public Attention {
public:
    // `main` (may be null) is what the tray icon offers; the tray is made only with one.
    DesktopAttention(QDBusConnection bus, QWidget* main, DesktopNotifier::Clock clock = {});
    ~DesktopAttention() override;
    DesktopAttention(const DesktopAttention&) = delete;
    DesktopAttention& operator=(const DesktopAttention&) = delete;

    void Unread(QWidget* window) override;
    void Message(QWidget* window, const QString& sender, const QString& text) override;
    void Alert(QWidget* window, const QString& summary, const QString& body) override;

    TrayIcon* Tray() const { return tray_; }  // null without a tray

private:
    DesktopNotifier notifier_;
    TrayIcon* tray_ = nullptr;  // owned by the main window
};

}  // namespace vantor
