// SPDX-License-Identifier: MIT
#include "gui/SessionEnd.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWidget>
#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

std::array<int, 2> signalPipe{-1, -1};
std::function<void()>* saveBeforeExit = nullptr; // until the window has closed
QtMessageHandler previousHandler = nullptr;

void onSignal(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

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

    if (::pipe2(signalPipe.data(), O_CLOEXEC | O_NONBLOCK) == 0) {
        mSignals = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(mSignals, &QSocketNotifier::activated, this, [this] {
            char byte = 0;
            while (::read(signalPipe[0], &byte, 1) > 0) {
            }
            closeAndQuit();
        });
        struct sigaction action {};
        action.sa_handler = onSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
            ::sigaction(signal, &action, nullptr);
        }
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
