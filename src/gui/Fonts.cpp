// SPDX-License-Identifier: MIT
#include "gui/Fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <algorithm>

namespace logwarden::gui {
namespace {

#ifdef Q_OS_WIN
// The system's Japanese monospaced face, by its Japanese and its English name; where neither is
// installed, the first monospaced face with Japanese. The control pictures (␛, ␍) that the view
// shows for controls come from Segoe UI Symbol, or from Symbola where that is missing (Wine).
QStringList windowsFamilies() {
    QStringList families{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic")};
    if (std::none_of(families.begin(), families.end(), QFontDatabase::hasFamily)) {
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        // A face that pairs a proportional Latin face with its Japanese one may say it is not
        // fixed pitch: measured, it is.
        const auto mono = std::find_if(japanese.begin(), japanese.end(), [](const QString& f) {
            const QFontMetrics metrics{QFont(f)};
            return QFontDatabase::isFixedPitch(f) ||
                   metrics.horizontalAdvance(u'i') == metrics.horizontalAdvance(u'W');
        });
        if (mono != japanese.end()) {
            families << *mono;
        }
    }
    return families << QStringLiteral("Segoe UI Symbol") << QStringLiteral("Symbola");
}
#endif

} // namespace

QFont windowFont(int pointSize) {
    QFont font;
#ifdef Q_OS_WIN
    static const QStringList families = windowsFamilies();
    font.setFamilies(families);
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
