// SPDX-License-Identifier: MIT
// Desktop notifications against a fake notification service on a private bus of our own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/desktop_attention.h"
#include "pages/page_ui.h"
#include "settings/settings_store.h"
#include "support/pump.h"
#include "support/temp_registry.h"

namespace vantor::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// Records every Notify call, as a notification daemon would receive it.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Call> calls;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        calls.append({summary, body, actions});
        return uint(calls.size());
    }
};

// A bus daemon of the test's own, with no services but what the test registers.
class PrivateBus {
public:
    PrivateBus() {
        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(R"(<busconfig><type>session</type>
<listen>unix:dir=)" +
                   QDir::tempPath().toUtf8() + R"(</listen>
<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/></policy>
</busconfig>)");
        file.close();
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                       QStringLiteral("--config-file=") + config});
        if (daemon_.waitForReadyRead()) address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QDBusConnection Connect(const QString& name) const {
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
};

bool Pump(const std::function<bool()>& done) {
    return PumpUntil(done, [] { QTest::qWait(5); });
}

struct NotifyFixture : ::testing::Test {
    ScopedRegistry registry;
    PrivateBus bus;
    FakeNotifications service;
    qint64 now = 100000;
    std::unique_ptr<DesktopAttention> attention;
    std::unique_ptr<PageUI> page;

    void SetUp() override {
        SaveSettingLong("LogConversations", 0);  // a reopened window would show earlier lines
        QDBusConnection serviceBus = bus.Connect(QStringLiteral("service"));
        ASSERT_TRUE(serviceBus.isConnected());
        ASSERT_TRUE(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                              &service, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        Start(bus.Connect(QStringLiteral("client")));
    }
    void TearDown() override {
        page.reset();
        attention.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    }
    void Start(QDBusConnection client) {
        attention = std::make_unique<DesktopAttention>(client, nullptr, [this] { return now; });
        page = std::make_unique<PageUI>();
        page->SetFrom("bob");
        page->SetUser("ann");
    }
    // A marker sent after the page: once it has arrived, so has anything the page caused.
    // Returns how many notifications the pages made.
    int Settled() {
        const QString marker = QStringLiteral("marker");
        attention->Alert(nullptr, marker, QString());
        EXPECT_TRUE(Pump(
            [&] { return !service.calls.isEmpty() && service.calls.back().summary == marker; }));
        int pages = 0;
        for (const auto& call : service.calls) pages += call.summary != marker;
        service.calls.clear();
        return pages;
    }
    // Each entry starts on a line of its own.
    QString History() const {
        return page->findChild<QTextEdit*>(QStringLiteral("PageHistory"))->toPlainText().mid(1);
    }
};

TEST_F(NotifyFixture, pageToInactiveWindowNotifiesOncePerSenderWithinTheQuietTime) {
    page->Received("hi <b>&");
    ASSERT_EQ(Settled(), 1);
    page->Received("again");
    now += DesktopNotifier::kQuietMs - 1;
    page->Received("and again");
    EXPECT_EQ(Settled(), 0);

    now += 1;
    page->Received("later");
    EXPECT_EQ(Settled(), 1);
    EXPECT_EQ(History().count(u'\n'), 3);  // every page shows all the same
}

TEST_F(NotifyFixture, notificationCarriesSenderAndEscapedTextAndRaisesItsWindow) {
    page->Received("hi <b>&");
    ASSERT_TRUE(Pump([&] { return !service.calls.isEmpty(); }));
    const auto call = service.calls.front();
    EXPECT_EQ(call.summary, QStringLiteral("bob"));
    EXPECT_EQ(call.body, QStringLiteral("hi &lt;b&gt;&amp;"));
    EXPECT_TRUE(call.actions.contains(QStringLiteral("default")));
    EXPECT_FALSE(page->isVisible());

    QDBusMessage clicked = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
    clicked << 1u << QStringLiteral("default");
    QDBusConnection(QStringLiteral("service")).send(clicked);
    EXPECT_TRUE(Pump([&] { return page->isVisible(); }));
}

TEST_F(NotifyFixture, activeWindowOrTheSettingOffGivesNone) {
    page->show();
    QApplication::setActiveWindow(page.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    page->Received("seen");
    EXPECT_EQ(Settled(), 0);

    page->hide();
    QApplication::setActiveWindow(nullptr);
    SaveSettingLong("DesktopNotify", 0);
    page->Received("off");
    EXPECT_EQ(Settled(), 0);
    SaveSettingLong("DesktopNotify", 1);
    page->Received("on");
    EXPECT_EQ(Settled(), 1);
}

// Forty senders paging within one second gave forty notifications: the quiet time is per sender.
TEST_F(NotifyFixture, fortySendersInASecondGiveAtMostTwoNotifications) {
    for (bool limited : {true, false}) {
        SCOPED_TRACE(limited ? "limited" : "NotifyRateLimit 0");
        DesktopNotifier notifier(bus.Connect(QStringLiteral("client")), [this] { return now; });
        notifier.SetRateLimit(limited);
        auto* burst = notifier.findChild<QTimer*>(QStringLiteral("NotifyBurst"));
        ASSERT_NE(burst, nullptr);
        for (int i = 0; i < 40; ++i) {
            notifier.Message(nullptr, QStringLiteral("sender%1").arg(i), QStringLiteral("hi"));
            now += 24;
        }
        EXPECT_EQ(burst->isActive(), limited);
        now += 100;
        QMetaObject::invokeMethod(burst, "timeout");
        const int shown = Settled();
        if (limited) {
            EXPECT_EQ(shown, 2);
        } else {
            EXPECT_EQ(shown, 40);
        }
        now += 10000;
    }
}

TEST_F(NotifyFixture, theSummaryCountsTheHeldPagesAndAOneAloneShowsAsItself) {
    DesktopNotifier notifier(bus.Connect(QStringLiteral("client")), [this] { return now; });
    auto* burst = notifier.findChild<QTimer*>(QStringLiteral("NotifyBurst"));
    notifier.Message(nullptr, QStringLiteral("alice"), QStringLiteral("one"));
    for (const char* sender : {"bob", "carol", "dave"})
        notifier.Message(nullptr, QString::fromLatin1(sender), QStringLiteral("hi"));
    now += 1000;
    QMetaObject::invokeMethod(burst, "timeout");
    now += 200;
    notifier.Message(nullptr, QStringLiteral("erin"), QStringLiteral("alone"));
    now += 1000;
    QMetaObject::invokeMethod(burst, "timeout");
    const QString marker = QStringLiteral("marker");
    attention->Alert(nullptr, marker, QString());
    ASSERT_TRUE(
        Pump([&] { return !service.calls.isEmpty() && service.calls.back().summary == marker; }));
    QStringList summaries;
    for (const auto& call : service.calls) summaries << call.summary + u'|' + call.body;
    EXPECT_EQ(summaries,
              (QStringList{u"alice|one"_s, u"3 new pages|"_s, u"erin|alone"_s, u"marker|"_s}));
}

TEST_F(NotifyFixture, withoutAServiceOrABusThePageStillShows) {
    QDBusConnection(QStringLiteral("service"))
        .unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    page->Received("nobody listens");
    EXPECT_EQ(History(), QStringLiteral("bob: nobody listens"));

    page.reset();
    attention.reset();
    Start(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                        QStringLiteral("nowhere")));
    page->Received("no bus");
    EXPECT_EQ(History(), QStringLiteral("bob: no bus"));
    EXPECT_TRUE(service.calls.isEmpty());
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

}  // namespace
}  // namespace vantor::test

#include "desktop_notify_test.moc"
