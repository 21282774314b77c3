// SPDX-License-Identifier: MIT
#include "core/CommandLine.h"
#include "core/frmMain.h"
#include "gui/Icons.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/SessionEnd.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#include "platform/Version.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace logwarden;

// What the toolkit says while it looks for a display: kept back, and replaced by one line of
// our own when there is none (the toolkit's own advice is to reinstall the program).
struct StartupMessages {
    QtMessageHandler previous = nullptr;
    std::vector<std::pair<QtMsgType, QString>> held;
};
StartupMessages startup;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        startup.held.emplace_back(type, text);
        return;
    }
    if (!text.contains(QLatin1String("platform plugin"))) {
        startup.previous(type, context, text);
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    platform::writeText(QStringLiteral("logwarden: 画面に接続できません（DISPLAY=%1）。"
                                       "デスクトップのセッションから起動してください。\n")
                            .arg(QString::fromLocal8Bit(display)),
                        true);
    std::_Exit(EXIT_FAILURE);
}

void releaseStartupMessages() {
    qInstallMessageHandler(startup.previous);
    for (const auto& [type, text] : startup.held) {
        startup.previous(type, QMessageLogContext(), text);
    }
    startup.held.clear();
}

} // namespace

int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, "");
    const QString commandLine = platform::argumentText(argc, argv);
    if (const QString reply = core::commandLineReply(commandLine); !reply.isEmpty()) {
        platform::writeText(reply, false);
        return EXIT_SUCCESS;
    }
    const std::optional<platform::StartShow> startShow = platform::takeStartShow();

    // The toolkit sees the program's name only, so that a file named like one of its options
    // (-style, -reverse, ...) still reaches the window as the path.
    int toolkitArgc = 1;
    startup.previous = qInstallMessageHandler(holdStartupMessage);
    QApplication app(toolkitArgc, argv);
    releaseStartupMessages();
    QApplication::setApplicationName(QStringLiteral("Logwarden"));
    QApplication::setApplicationVersion(QString::fromLatin1(platform::version::Text));
    // Ties the window to its launcher, so the desktop shows the launcher's name and icon.
    QApplication::setDesktopFileName(QStringLiteral("io.github.logwarden.Logwarden"));
    QApplication::setWindowIcon(gui::windowIconImage(0));

    // Japanese captions on the standard dialog buttons: built in where Qt is (Windows), Qt's
    // own elsewhere.
    QTranslator qtTranslations;
    for (const QString& folder :
         {QStringLiteral(":/i18n"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (qtTranslations.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"),
                                QStringLiteral("_"), folder)) {
            QApplication::installTranslator(&qtTranslations);
            break;
        }
    }

    core::modGlobal global;
    gui::QtPort port;
    core::frmMain form(global, port, commandLine);
    gui::MainWindow window(form);
    port.attach(&window);
    form.Form_Load();
    if (startShow) { // as the copy that started this one asked
        form.window.setWindowState(*startShow == platform::StartShow::Maximized
                                       ? ui::WindowState::Maximized
                                       : ui::WindowState::Normal);
    }
    const gui::SessionEnd sessionEnd(window, [&form] { form.saveSettings(); });
    window.showInChosenState();
    return QApplication::exec();
}
