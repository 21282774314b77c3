// SPDX-License-Identifier: MIT
#include "gui/Icons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>

namespace logwarden::gui {

namespace {

// Small sizes for title bars and task lists, larger ones for scaled screens.
constexpr std::array sizes{16, 20, 24, 32, 48, 64};

QIcon prerendered(const QString& resource) {
    QSvgRenderer renderer(resource);
    QIcon icon;
    for (const int size : sizes) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

const QIcon& windowIconImage(int index) {
    static const std::array<QIcon, 3> images{
        prerendered(QStringLiteral(":/icons/logwarden.svg")),
        prerendered(QStringLiteral(":/icons/bulb-lit.svg")),
        prerendered(QStringLiteral(":/icons/bulb-unlit.svg")),
    };
    const bool known = index >= 0 && index < static_cast<int>(images.size());
    return images[known ? static_cast<std::size_t>(index) : 0];
}

} // namespace logwarden::gui
