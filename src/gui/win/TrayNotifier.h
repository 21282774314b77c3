// SPDX-License-Identifier: MIT
#pragma once

#include "gui/DesktopNotifier.h"

#include <QSystemTrayIcon>

namespace logwarden::gui::win {

// The system's notifications, through the toolkit's tray icon: shown with the first
// notification, and only where the system has a tray.
class TrayNotifier : public DesktopNotifier {
public:
    explicit TrayNotifier(std::function<void()> activated);

    void show(const QString& summary, const QString& body) override;

private:
    QSystemTrayIcon mIcon;
};

} // namespace logwarden::gui::win
