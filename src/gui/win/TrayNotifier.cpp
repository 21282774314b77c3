// SPDX-License-Identifier: MIT
#include "gui/win/TrayNotifier.h"

#include <QApplication>

namespace logwarden::gui::win {

TrayNotifier::TrayNotifier(std::function<void()> activated) {
    mIcon.setIcon(QApplication::windowIcon());
    mIcon.setToolTip(QApplication::applicationName());
    connect(&mIcon, &QSystemTrayIcon::activated, this,
            [activated](QSystemTrayIcon::ActivationReason /*reason*/) { activated(); });
    connect(&mIcon, &QSystemTrayIcon::messageClicked, this, std::move(activated));
}

void TrayNotifier::show(const QString& summary, const QString& body) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    mIcon.show();
    mIcon.showMessage(summary, body, QSystemTrayIcon::Information);
}

} // namespace logwarden::gui::win
