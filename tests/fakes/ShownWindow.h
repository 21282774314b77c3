// SPDX-License-Identifier: MIT
#pragma once

#include "core/frmMain.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"

#include <QtTest>

// The real window on a form, loaded, shown and made active, as the program starts it.
template <class Port> struct ShownWindow {
    modGlobal global;
    Port port;
    frmMain form;
    MainWindow window{form};

    explicit ShownWindow(const QString& commandLine = {}) : form(global, port, commandLine) {
        if constexpr (std::is_base_of_v<QtPort, Port>) {
            port.attach(&window);
        }
        form.Form_Load();
        window.showInChosenState();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            qWarning("window did not become active");
        }
    }
};
