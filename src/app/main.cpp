// SPDX-License-Identifier: MIT
#include "core/CommandLine.h"
#include "core/frmMain.h"
#include "gui/Icons.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/StartState.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[]) {
    const std::optional<ui::WindowState> startState = takeStartState();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Logwarden"));
    QApplication::setApplicationVersion(QStringLiteral(LOGWARDEN_VERSION_TEXT));
    // Ties the window to its launcher, so the desktop shows the launcher's name and icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.logwarden.Logwarden"));
    QApplication::setWindowIcon(windowIconImage(0));

    QTranslator qtTranslations; // Japanese captions on the standard dialog buttons
    if (qtTranslations.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTranslations);
    }

    modGlobal global;
    QtPort port;
    frmMain form(global, port, joinArguments(QApplication::arguments().mid(1)));
    MainWindow window(form);
    port.attach(&window);
    form.Form_Load();
    if (startState) {
        form.window.setWindowState(*startState); // as the copy that started this one asked
    }
    window.showInChosenState();
    return QApplication::exec();
}
