// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QTimer;

namespace vantor {

// Shows notifications through the desktop's notification service on a D-Bus connection;
// activating one raises the window it was about. Calls never wait for the service: without
// one, or without a bus, the notifications are simply not shown.
class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kQuietMs = 5000;  // per sender, so a flood does not flood the desktop
    static constexpr qint64 kBurstMs = 1000;  // between any two messages shown
    using Clock = std::function<qint64()>;    // milliseconds, steady

    explicit DesktopNotifier(QDBusConnection bus, Clock clock = {}, QObject* parent = nullptr);

    // A message: the sender as summary, the text as body. Not shown when the same sender
    // (without regard to case) had one shown within the quiet time; returns whether it was sent.
    // With the rate limit on, messages that come within kBurstMs of the last one shown are held
    // and told together once that time is over: one held message as itself, more as a summary
    // ("12 new pages").
    bool Message(QWidget* window, const QString& sender, const QString& text);
    void SetRateLimit(bool on);
    // Shown whatever came before.
    void Show(QWidget* window, const QString& summary, const QString& body);

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnClosed(uint id, uint reason);

private:
    void EndBurst();

    QDBusConnection bus_;
    Clock clock_;
    bool rateLimit_ = true;
    qint64 lastMessage_ = 0;  // when the last message (or summary) was shown
    bool anyMessage_ = false;
    int held_ = 0;  // messages waiting for the burst to end
    QPointer<QWidget> heldWindow_;
    QString heldSender_;
    QString heldText_;
    QTimer* burst_;
    QHash<QString, qint64> lastShown_;             // lower-cased sender -> clock
    QHash<uint, QPointer<QWidget>> raiseOnClick_;  // notification id -> its window
};

// Brings a window to the front as if the user had picked it.
void RaiseWindow(QWidget* window);

}  // namespace vantor
