// SPDX-License-Identifier: MIT
#include "core/TailRender.h"

#include "ui/ViewText.h"

namespace logwarden::core {

QString renderTail(const QString& tail, const QString& separator, bool extract,
                   const QString& keyword) {
    QString result;
    result.reserve(tail.size() + tail.size() / 8 + 2);
    const auto keep = [&](QStringView piece) {
        if (!extract || piece.contains(keyword)) {
            ui::appendPiece(result, piece);
        }
    };
    qsizetype from = 0;
    // An empty separator would be found everywhere; the whole tail is then one piece.
    if (!separator.isEmpty()) {
        for (qsizetype at = tail.indexOf(separator, from); at >= 0;
             at = tail.indexOf(separator, from)) {
            keep(QStringView(tail).sliced(from, at - from));
            from = at + separator.size();
        }
    }
    keep(QStringView(tail).sliced(from));
    return result;
}

} // namespace logwarden::core
