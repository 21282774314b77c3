// SPDX-License-Identifier: MIT
#pragma once

#include "gui/DesktopNotifier.h"

#include <QDBusConnection>
#include <QList>
#include <QSet>
#include <optional>
#include <utility>

namespace logwarden::gui::dbus {

// org.freedesktop.Notifications on the given bus. Nothing is asked of the bus before the first
// notification; then the service's capabilities, once, so that a body is escaped only for a
// service that reads markup. A bus or service that is missing or fails drops the notification.
class FreedesktopNotifier : public DesktopNotifier {
    Q_OBJECT

public:
    FreedesktopNotifier(QDBusConnection bus, std::function<void()> activated);

    void show(const QString& summary, const QString& body) override;

private:
    Q_SLOT void actionInvoked(uint id, const QString& action);
    Q_SLOT void closed(uint id, uint reason);
    void askCapabilities();
    void send(const QString& summary, const QString& body);

    QDBusConnection mBus;
    std::function<void()> mActivated;
    std::optional<bool> mMarkup; // known once the service answered
    bool mAsking = false;
    QList<std::pair<QString, QString>> mWaiting; // shown before the answer
    QSet<uint> mShown;
};

} // namespace logwarden::gui::dbus
