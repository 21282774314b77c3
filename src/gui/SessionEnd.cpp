// SPDX-License-Identifier: MIT
#include "gui/SessionEnd.h"

#include "platform/System.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QWidget>
#include <system_error>
#include <utility>

namespace logwarden::gui {
namespace {

std::function<void()>* saveBeforeExit = nullptr; // until the window has closed
QtMessageHandler previousHandler = nullptr;

// The toolkit says so just before it exits on a lost display; saving later, at exit, would
// meet what its exit has already torn down.
void watchForLostDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (saveBeforeExit != nullptr && text.startsWith(QLatin1String("The X11 connection broke"))) {
        std::exchange(saveBeforeExit, nullptr)->operator()();
    }
    previousHandler(type, context, text);
}

} // namespace

SessionEnd::SessionEnd(QWidget& window, std::function<void()> saveSettings) : mWindow(window) {
    static std::function<void()> save;
    save = std::move(saveSettings);
    saveBeforeExit = &save;
    previousHandler = qInstallMessageHandler(watchForLostDisplay);
    mWindow.installEventFilter(this);

    try {
        platform::onEndRequest(*this, [this] { closeAndQuit(); });
    } catch (const std::system_error&) {
        // The system's own way of ending the process stays: nothing is saved then.
    }
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this] { closeAndQuit(); });
    connect(qGuiApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (mWindow.isVisible()) {
            mWindow.close();
        }
    });
}

SessionEnd::~SessionEnd() {
    saveBeforeExit = nullptr;
    qInstallMessageHandler(previousHandler);
}

bool SessionEnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &mWindow && event->type() == QEvent::Close) {
        saveBeforeExit = nullptr; // the close saves them
    }
    return QObject::eventFilter(watched, event);
}

// Also from inside a modal dialog: quitting ends its event loop too.
void SessionEnd::closeAndQuit() {
    mWindow.close();
    QCoreApplication::quit();
}

} // namespace logwarden::gui
