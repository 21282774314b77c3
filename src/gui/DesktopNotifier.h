// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace logwarden::gui {

// The desktop's own notification service: the freedesktop interface over D-Bus on Linux
// (dbus/), the system tray's messages on Windows (win/), nothing elsewhere or where the service
// is missing.
class DesktopNotifier : public QObject {
public:
    // `activated` runs when the user activates one of the notifications shown.
    static std::unique_ptr<DesktopNotifier> forThisDesktop(std::function<void()> activated);

    virtual void show(const QString& summary, const QString& body) = 0;
};

} // namespace logwarden::gui
