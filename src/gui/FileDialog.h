// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PlatformPort.h"

#include <QStringList>

class QWidget;

namespace logwarden::gui {

// Shows Qt's own file dialog for the request, modal to `owner`; the files chosen, none when
// the user cancelled.
QStringList showFileDialog(QWidget* owner, const platform::FileDialogRequest& request);

} // namespace logwarden::gui
