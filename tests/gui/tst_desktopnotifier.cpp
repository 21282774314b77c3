// SPDX-License-Identifier: MIT
// The freedesktop notifier against a fake notification service on a session bus of the test's
// own.
#include "Rows.h"
#include "gui/dbus/FreedesktopNotifier.h"

#include <QtDBus>
#include <QtTest>

namespace {

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList capabilities{"body", "actions"};
    QStringList received; // "summary|body|actions"

public Q_SLOTS:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int) {
        received << summary + u'|' + body + u'|' + actions.join(u',');
        return uint(received.size());
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString& action);
};

const QString service = "org.freedesktop.Notifications";

// Whether markup is read; the body sent.
using Markup = std::tuple<const char*, bool, QString>;

} // namespace

class DesktopNotifierTest : public QObject {
    Q_OBJECT

    QProcess mDaemon;
    QString mAddress;
    FakeNotifications mFake;

    QDBusConnection bus(const QString& name) {
        return QDBusConnection::connectToBus(mAddress, name);
    }
    bool offer(bool on) {
        return on ? bus("service").registerService(service)
                  : bus("service").unregisterService(service);
    }

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {
            QSKIP("no dbus-daemon: the notifications need a session bus of the test's own");
        }
        mDaemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        QVERIFY(mDaemon.waitForStarted() && mDaemon.waitForReadyRead(10000));
        mAddress = QString::fromLocal8Bit(mDaemon.readLine()).trimmed();
        QVERIFY2(bus("service").isConnected(), qPrintable(mAddress));
        QVERIFY(bus("service").registerObject("/org/freedesktop/Notifications", &mFake,
                                              QDBusConnection::ExportAllSlots |
                                                  QDBusConnection::ExportAllSignals));
    }

    void cleanupTestCase() {
        for (const char* name : {"service", "client"}) {
            QDBusConnection::disconnectFromBus(name);
        }
        mDaemon.kill();
        mDaemon.waitForFinished();
    }

    // No service: nothing is shown and nothing fails; one that comes later is asked again.
    void aServiceThatComesLaterIsUsed() {
        logwarden::gui::dbus::FreedesktopNotifier notifier(bus("client"), {});
        notifier.show("app.log", "first");
        // Answered in order: the bus has refused the notifier's question once this returns.
        bus("client").call(QDBusMessage::createMethodCall(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId"));
        QVERIFY(offer(true));
        QTRY_VERIFY((notifier.show("app.log", "second"), !mFake.received.isEmpty()));
        QCOMPARE(mFake.received.first(), "app.log|second|default,表示");
        QVERIFY(offer(false));
    }

    // The body is escaped only for a service that reads markup; activating a notification of
    // ours brings the window up, another's does nothing.
    void notifiesAndBringsTheWindowUp_data() {
        rows<Markup>({
            {"plain body", false, "a <b> & c"},
            {"markup read", true, "a &lt;b&gt; &amp; c"},
        });
    }

    void notifiesAndBringsTheWindowUp() {
        const auto [tag, markup, sent] = row<Markup>();
        mFake.capabilities = markup ? QStringList{"body", "body-markup"} : QStringList{"body"};
        QVERIFY(offer(true));
        int activated = 0;
        logwarden::gui::dbus::FreedesktopNotifier notifier(bus("client"), [&] { ++activated; });
        notifier.show("app.log", "a <b> & c");
        notifier.show("app.log", tag); // after the first, in order
        QTRY_VERIFY(mFake.received.contains(QStringLiteral("app.log|%1|default,表示").arg(tag)));
        const auto id = uint(mFake.received.indexOf("app.log|" + sent + "|default,表示") + 1);
        QVERIFY(id > 0);
        Q_EMIT mFake.ActionInvoked(9999, "default");
        Q_EMIT mFake.ActionInvoked(id, "default");
        QTRY_COMPARE(activated, 1);
        QVERIFY(offer(false));
    }
};

QTEST_GUILESS_MAIN(DesktopNotifierTest)
#include "tst_desktopnotifier.moc"
