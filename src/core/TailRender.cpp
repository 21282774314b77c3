// SPDX-License-Identifier: MIT
#include "core/TailRender.h"

#include "ui/ViewText.h"

#include <QList>
#include <algorithm>

namespace logwarden::core {

QString renderTail(const QString& tail, const QString& separator,
                   const std::optional<Extraction>& extraction) {
    QList<QStringView> kept;
    const auto keep = [&](QStringView piece) {
        if (!extraction || extraction->keyword.matches(piece)) {
            kept.append(piece);
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
    const qsizetype last = extraction && extraction->last > 0 ? extraction->last : kept.size();
    QString result;
    result.reserve(tail.size() + tail.size() / 8 + 2);
    for (auto it = kept.cend() - std::min(last, kept.size()); it != kept.cend(); ++it) {
        ui::appendPiece(result, *it);
    }
    return result;
}

} // namespace logwarden::core
