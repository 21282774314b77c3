// SPDX-License-Identifier: MIT
#include "gui/Icons.h"

#include <QPixmap>
#include <array>

namespace logwarden::gui {
namespace {

// Small sizes for title bars and task lists, larger ones for scaled screens; rendered at build
// time, each to its pixel.
constexpr std::array sizes{16, 20, 24, 32, 48, 64};

QIcon rendered(const QString& name) {
    QIcon icon;
    for (const int size : sizes) {
        icon.addPixmap(QPixmap(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size)));
    }
    return icon;
}

} // namespace

const QIcon& windowIconImage(int index) {
    static const std::array<QIcon, 3> images{
        rendered(QStringLiteral("logwarden")),
        rendered(QStringLiteral("bulb-lit")),
        rendered(QStringLiteral("bulb-unlit")),
    };
    const bool known = index >= 0 && index < static_cast<int>(images.size());
    return images[known ? static_cast<std::size_t>(index) : 0];
}

} // namespace logwarden::gui
