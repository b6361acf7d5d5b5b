// SPDX-License-Identifier: MIT
#include "app/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QTimer>
#include <QVariantMap>

namespace vantor {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

qint64 SteadyMs() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

}  // namespace

void RaiseWindow(QWidget* window) {
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

DesktopNotifier::DesktopNotifier(QDBusConnection bus, Clock clock, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      clock_(clock ? std::move(clock) : Clock(SteadyMs)),
      burst_(new QTimer(this)) {
    burst_->setObjectName(QStringLiteral("NotifyBurst"));
    burst_->setSingleShot(true);
    connect(burst_, &QTimer::timeout, this, &DesktopNotifier::EndBurst);
    if (!bus_.isConnected()) return;
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(OnActionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(OnClosed(uint, uint)));
}

bool DesktopNotifier::Message(QWidget* window, const QString& sender, const QString& text) {
    const QString key = sender.toLower();
    const qint64 now = clock_();
    const auto last = lastShown_.constFind(key);
    if (last != lastShown_.constEnd() && now - *last < kQuietMs) return false;
    lastShown_.insert(key, now);
    // Forty senders in a second would give forty notifications.
    if (rateLimit_ && (held_ > 0 || (anyMessage_ && now - lastMessage_ < kBurstMs))) {
        ++held_;
        heldWindow_ = window;
        heldSender_ = sender;
        heldText_ = text;
        if (!burst_->isActive())
            burst_->start(int(std::max<qint64>(0, kBurstMs - (now - lastMessage_))));
        return false;
    }
    anyMessage_ = true;
    lastMessage_ = now;
    Show(window, sender, text);
    return true;
}

void DesktopNotifier::SetRateLimit(bool on) {
    rateLimit_ = on;
}

void DesktopNotifier::EndBurst() {
    if (held_ == 0) return;
    const int held = std::exchange(held_, 0);
    anyMessage_ = true;
    lastMessage_ = clock_();
    if (held == 1) {
        Show(heldWindow_, heldSender_, heldText_);
    } else {
        Show(heldWindow_, QString::number(held) + QStringLiteral(" new pages"), QString());
    }
}

void DesktopNotifier::Show(QWidget* window, const QString& summary, const QString& body) {
    if (!bus_.isConnected()) return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // The body may carry a little markup; what people type must show as typed.
    call << QCoreApplication::applicationName() << 0u << QString() << summary
         << body.toHtmlEscaped() << QStringList{QStringLiteral("default"), QStringLiteral("Show")}
         << QVariantMap() << -1;
    // Asked without waiting: a missing or stuck service must not hold the window.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    const QPointer<QWidget> target(window);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, target](QDBusPendingCallWatcher* done) {
                const QDBusPendingReply<uint> reply = *done;
                if (!reply.isError() && target) raiseOnClick_.insert(reply.value(), target);
                done->deleteLater();
            });
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& action) {
    if (action != QStringLiteral("default")) return;
    const QPointer<QWidget> window = raiseOnClick_.take(id);
    if (window) RaiseWindow(window);
}

void DesktopNotifier::OnClosed(uint id, uint /*reason*/) {
    raiseOnClick_.remove(id);
}

}  // namespace vantor
