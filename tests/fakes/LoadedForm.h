// SPDX-License-Identifier: MIT
#pragma once

#include "FakePort.h"
#include "TempFiles.h"
#include "core/frmMain.h"

// One process of the program on the scripted desktop, started as the program starts it, in
// the current folder (where it reads and writes its settings file).
struct StartedForm {
    modGlobal global;
    FakePort port;
    frmMain form;
    explicit StartedForm(const QString& commandLine = {}) : form(global, port, commandLine) {
        form.Form_Load();
    }
    const AppSettings& settings() const { return global; }
};

// A started form with a temporary current folder of its own, made before the form loads.
struct InTempWorkDir {
    TempWorkDir dir;
};
struct LoadedForm : InTempWorkDir, StartedForm {};
