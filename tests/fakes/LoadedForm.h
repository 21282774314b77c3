// SPDX-License-Identifier: MIT
#pragma once

#include "FakePort.h"
#include "TempFiles.h"
#include "core/frmMain.h"

using namespace logwarden;
using namespace logwarden::core;

// One process of the program on the scripted desktop, started as the program starts it, in
// the current folder (where it reads and writes its settings file).
struct StartedForm {
    modGlobal global;
    FakePort port;
    frmMain form;
    explicit StartedForm(const QString& commandLine = {}) : form(global, port, commandLine) {
        form.Form_Load();
    }
    const settings::AppSettings& settings() const { return global; }
};

// A started form with a temporary current folder of its own, made before the form loads.
struct InTempWorkDir {
    TempWorkDir dir;
};
struct LoadedForm : InTempWorkDir, StartedForm {};

// A log opened with the default settings.
struct OpenedLog : LoadedForm {
    explicit OpenedLog(const QByteArray& text = "ok 1\nERR 2\nok 3\nERR 4\n") {
#ifdef Q_OS_WIN
        form.mnuOptionNewLineType_Click(2); // the logs here end their lines in LF
#endif
        form.OpenWatchedFile(dir.write("app.log", text));
    }
};
