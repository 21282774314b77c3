// SPDX-License-Identifier: MIT
#include "gui/QtPort.h"

#include "gui/FileDialog.h"
#include "gui/RulesDialog.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#ifdef LOGWARDEN_X11
#include "gui/x11/KeepAbove.h"
#endif
#ifdef Q_OS_WIN
#include "gui/win/Desktop.h"
#endif

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QMessageBox>
#include <QWindow>
#include <cstdio>
#include <system_error>

namespace logwarden::gui {

QtPort::MsgAnswer QtPort::MsgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                                 const QString& title) {
    const QMessageBox::Icon qtIcon = icon == MsgIcon::Critical   ? QMessageBox::Critical
                                     : icon == MsgIcon::Question ? QMessageBox::Question
                                                                 : QMessageBox::Information;
    const QMessageBox::StandardButtons qtButtons =
        buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(qtIcon, title, prompt, qtButtons, mWindow);
    box.setTextFormat(Qt::PlainText); // a file name or keyword is never markup
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) {
        return MsgAnswer::Yes;
    }
    return answer == QMessageBox::No ? MsgAnswer::No : MsgAnswer::Ok;
}

QString QtPort::InputBox(const QString& prompt, const QString& title,
                         const QString& defaultAnswer) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(mWindow, title, prompt, QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? answer : QString();
}

void QtPort::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool QtPort::isActiveWindow() const {
    return !mWindow.isNull() && mWindow->isActiveWindow();
}

void QtPort::setWindowForward(bool topmost) {
    if (mWindow.isNull()) {
        return;
    }
    const Qt::WindowFlags flags = mWindow->windowFlags();
    QWindow* handle = mWindow->windowHandle();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) != topmost) {
        Qt::WindowFlags wanted = flags;
        wanted.setFlag(Qt::WindowStaysOnTopHint, topmost);
        // setWindowFlags would hide and re-create the native window; this changes it in place.
        mWindow->overrideWindowFlags(wanted);
        if (handle != nullptr) {
            handle->setFlags(wanted);
        }
    }
#ifdef LOGWARDEN_X11
    // A window manager may have taken the window off the top meanwhile: ask again, but only
    // then, so that an unchanged state costs nothing on the screen.
    else if (topmost && handle != nullptr && x11::isKeptAbove(*handle) == false) {
        x11::keepAbove(*handle);
    }
#endif
#ifdef Q_OS_WIN
    if (handle != nullptr) {
        win::setTopmost(*handle, topmost);
    }
#endif
}

void QtPort::requestAttention() {
    if (!mWindow.isNull()) {
        QApplication::alert(mWindow);
    }
}

void QtPort::focusWindow() {
    if (!mWindow.isNull()) {
        mWindow->raise();
        mWindow->activateWindow();
    }
}

// From a notification: the window may be minimised, or behind others.
void QtPort::bringUp() {
    if (!mWindow.isNull()) {
        mWindow->setWindowState(mWindow->windowState() & ~Qt::WindowMinimized);
        mWindow->show();
        focusWindow();
    }
}

void QtPort::closeWindow() {
    if (!mWindow.isNull()) {
        mWindow->close();
    }
}

QStringList QtPort::showFileDialog(const platform::FileDialogRequest& request) {
    return gui::showFileDialog(mWindow.data(), request);
}

QString QtPort::startProcess(const QString& program, const QStringList& arguments, bool maximized) {
    try {
        platform::startDetached(program, arguments,
                                maximized ? platform::StartShow::Maximized
                                          : platform::StartShow::Normal);
    } catch (const std::system_error& error) {
        return QString::fromLocal8Bit(error.code().message());
    }
    return {};
}

std::optional<QList<platform::WatchRule>>
QtPort::editWatchRules(const platform::WatchRulesRequest& request) {
    return gui::editWatchRules(mWindow.data(), request);
}

void QtPort::notify(const QString& summary, const QString& body) {
    if (!mNotifier) {
        mNotifier = DesktopNotifier::forThisDesktop([this] { bringUp(); });
    }
    mNotifier->show(summary, body);
}

QString QtPort::applicationFilePath() const {
    return QCoreApplication::applicationFilePath();
}

void QtPort::printError(const QString& line) {
    platform::writeText(line + u'\n', true);
}

} // namespace logwarden::gui
