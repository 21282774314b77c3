// SPDX-License-Identifier: MIT
#include "gui/dbus/FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QVariantMap>

namespace logwarden::gui::dbus {
namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
// The longest a service may take before a notification is given up.
constexpr int answerMs = 5000;

QDBusMessage methodCall(const QString& method) {
    return QDBusMessage::createMethodCall(service, objectPath, interface, method);
}

} // namespace

FreedesktopNotifier::FreedesktopNotifier(QDBusConnection bus, std::function<void()> activated)
    : mBus(std::move(bus)), mActivated(std::move(activated)) {
    mBus.connect(service, objectPath, interface, QStringLiteral("ActionInvoked"), this,
                 SLOT(actionInvoked(uint, QString)));
    mBus.connect(service, objectPath, interface, QStringLiteral("NotificationClosed"), this,
                 SLOT(closed(uint, uint)));
}

void FreedesktopNotifier::show(const QString& summary, const QString& body) {
    if (!mBus.isConnected()) {
        return;
    }
    if (mMarkup) {
        send(summary, body);
        return;
    }
    mWaiting.append({summary, body});
    askCapabilities();
}

void FreedesktopNotifier::askCapabilities() {
    if (std::exchange(mAsking, true)) {
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        mBus.asyncCall(methodCall(QStringLiteral("GetCapabilities")), answerMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        mAsking = false;
        const QDBusPendingReply<QStringList> reply = *watcher;
        const auto waiting = std::exchange(mWaiting, {});
        if (reply.isError()) {
            return; // no service now: asked again with the next notification
        }
        mMarkup = reply.value().contains(QStringLiteral("body-markup"));
        for (const auto& [summary, body] : waiting) {
            send(summary, body);
        }
    });
}

void FreedesktopNotifier::send(const QString& summary, const QString& body) {
    QDBusMessage message = methodCall(QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName()},
                            {QStringLiteral("category"), QStringLiteral("im.received")}};
    // "default" is what a click on the notification itself invokes.
    message << QGuiApplication::applicationDisplayName() << uint(0)
            << QGuiApplication::desktopFileName() << summary
            << (*mMarkup ? body.toHtmlEscaped() : body)
            << QStringList{QStringLiteral("default"), QStringLiteral("表示")} << hints << -1;
    auto* watcher = new QDBusPendingCallWatcher(mBus.asyncCall(message, answerMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            mMarkup.reset(); // the service may have gone: ask what the next one reads
        } else {
            mShown.insert(reply.value());
        }
    });
}

void FreedesktopNotifier::actionInvoked(uint id, const QString& action) {
    if (mShown.contains(id) && action == QLatin1String("default") && mActivated) {
        mActivated();
    }
}

void FreedesktopNotifier::closed(uint id, uint /*reason*/) {
    mShown.remove(id);
}

} // namespace logwarden::gui::dbus
