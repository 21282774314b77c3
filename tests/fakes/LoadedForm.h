#pragma once

#include "FakePort.h"
#include "TempFiles.h"
#include "core/frmMain.h"

// The form as start-up leaves it, on the scripted desktop, with a temporary current folder of
// its own so that its settings file is read and written there.
struct LoadedForm {
    TempWorkDir dir;
    modGlobal global;
    FakePort port;
    frmMain form{global, port, {}};
    LoadedForm() { form.Form_Load(); }
};
