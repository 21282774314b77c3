#include "platform/qt/Fonts.h"

#include <QStringList>

QFont windowFont(int pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(pointSize);
    return font;
}
