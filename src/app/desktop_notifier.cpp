// SPDX-License-Identifier: MIT
#include "app/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QElapsedTimer>
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
    : QObject(parent), bus_(std::move(bus)), clock_(clock ? std::move(clock) : Clock(SteadyMs)) {
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
    Show(window, sender, text);
    return true;
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
