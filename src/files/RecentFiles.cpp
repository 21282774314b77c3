// SPDX-License-Identifier: MIT
#include "files/RecentFiles.h"

#include "ui/ViewText.h"

namespace logwarden::files {

QString recentCaption(int index, const QString& path) {
    // A tab would start the shortcut column; a bidi control would reorder the digits.
    return QStringLiteral("&%1. %2").arg(index).arg(ui::visibleText(path, true));
}

} // namespace logwarden::files
