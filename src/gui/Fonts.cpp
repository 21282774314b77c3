// SPDX-License-Identifier: MIT
#include "gui/Fonts.h"

#include <QStringList>

namespace logwarden::gui {

QFont windowFont(int pointSize) {
    QFont font;
#ifdef Q_OS_WIN
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic")});
#else
    // Looking up a face that is not installed costs start-up time for nothing. The CJK faces
    // lack the control pictures (␛, ␀) that the view shows for controls: Symbola has them.
    font.setFamilies({QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("Symbola")});
#endif
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(pointSize);
    return font;
}

} // namespace logwarden::gui
