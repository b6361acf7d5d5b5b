// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

namespace vantor {

// Shows notifications through the desktop's notification service on a D-Bus connection;
// activating one raises the window it was about. Calls never wait for the service: without
// one, or without a bus, the notifications are simply not shown.
class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kQuietMs = 5000;  // per sender, so a flood does not flood the desktop
    using Clock = std::function<qint64()>;    // milliseconds, steady

    explicit DesktopNotifier(QDBusConnection bus, Clock clock = {}, QObject* parent = nullptr);

    // A message: the sender as summary, the text as body. Not shown when the same sender
    // (without regard to case) had one shown within the quiet time; returns whether it was sent.
    bool Message(QWidget* window, const QString& sender, const QString& text);
    // Shown whatever came before.
    void Show(QWidget* window, const QString& summary, const QString& body);

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnClosed(uint id, uint reason);

private:
    QDBusConnection bus_;
    Clock clock_;
    QHash<QString, qint64> lastShown_;             // lower-cased sender -> clock
    QHash<uint, QPointer<QWidget>> raiseOnClick_;  // notification id -> its window
};

// Brings a window to the front as if the user had picked it.
void RaiseWindow(QWidget* window);

}  // namespace vantor
