// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QMenu;
class QSystemTrayIcon;

namespace vantor {

// The icon in the desktop's tray: marked while a window holds lines added while it was not
// active; its menu offers the main window and the main window's LOG/LOGOUT and QUIT buttons.
// Only a helper: closing the main window still ends the program.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(QWidget& main);
    ~TrayIcon() override;

    // Until the window is next active, or gone; false when it was marked already.
    bool MarkUnread(QWidget* window);
    bool HasUnread() const { return !unread_.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Forget(QObject* window);
    void ShowMark();
    void PressButton(const char* objectName);
    void FillMenu();

    QWidget& main_;
    QList<QObject*> unread_;  // compared only, never dereferenced
    QMenu* menu_;
    QSystemTrayIcon* icon_;
};

}  // namespace vantor
