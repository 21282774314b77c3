// SPDX-License-Identifier: MIT
#include "platform/System.h"
#include "platform/win/Windows.h"

#include <QMetaObject>
#include <QPointer>

namespace logwarden::platform {
namespace {

QPointer<QObject> endContext;
std::function<void()>* endHandler = nullptr;

// Called on a thread of the system's: the window's close runs in its own event loop.
BOOL WINAPI onConsoleEvent(DWORD /*event*/) {
    if (endContext.isNull() || endHandler == nullptr) {
        return FALSE;
    }
    QMetaObject::invokeMethod(endContext.data(), *endHandler, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

// Logging off and shutting down reach the window as the toolkit's session end; what is left
// is a console the program was started from.
void onEndRequest(QObject& context, std::function<void()> handler) {
    static std::function<void()> kept;
    kept = std::move(handler);
    endHandler = &kept;
    endContext = &context;
    if (::SetConsoleCtrlHandler(onConsoleEvent, TRUE) == 0) {
        win::throwLastError();
    }
}

} // namespace logwarden::platform
