// SPDX-License-Identifier: MIT
#include "gui/DesktopNotifier.h"

#if defined(Q_OS_WIN)
#include "gui/win/TrayNotifier.h"
#elif defined(LOGWARDEN_DBUS)
#include "gui/dbus/FreedesktopNotifier.h"

#include <QDBusConnection>
#endif

namespace logwarden::gui {
namespace {

class NoNotifier : public DesktopNotifier {
public:
    void show(const QString& /*summary*/, const QString& /*body*/) override {}
};

} // namespace

std::unique_ptr<DesktopNotifier> DesktopNotifier::forThisDesktop(std::function<void()> activated) {
#if defined(Q_OS_WIN)
    return std::make_unique<win::TrayNotifier>(std::move(activated));
#elif defined(LOGWARDEN_DBUS)
    return std::make_unique<dbus::FreedesktopNotifier>(QDBusConnection::sessionBus(),
                                                       std::move(activated));
#else
    (void)activated;
    return std::make_unique<NoNotifier>();
#endif
}

} // namespace logwarden::gui
