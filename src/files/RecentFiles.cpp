// SPDX-License-Identifier: MIT
#include "files/RecentFiles.h"

#include "ui/ViewText.h"

namespace logwarden::files {

QString recentCaption(int index, const QString& path) {
    // A tab would start the shortcut column, a bidi control would reorder the digits, and an
    // ampersand would make the next letter an access key instead of showing.
    return QStringLiteral("&%1. %2").arg(index).arg(
        ui::visibleText(path, true).replace(u'&', QStringLiteral("&&")));
}

} // namespace logwarden::files
