// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Control.h"

#include <QStringList>

namespace logwarden::ui {

// The files and folders whose changes the platform reports as they happen; the binding calls
// the form's handler on each report.
class FileWatch : public Control {
public:
    const QStringList& paths() const { return mPaths; }
    void setPaths(const QStringList& paths) { assign(mPaths, paths); }

private:
    QStringList mPaths;
};

} // namespace logwarden::ui
