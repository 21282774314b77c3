// SPDX-License-Identifier: MIT
// Renders one SVG file to a square PNG of the given size, for the icon theme at install time.
// Usage: logwarden_svg2png INPUT.svg SIZE OUTPUT.png

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    bool sizeOk = false;
    const int size = argc == 4 ? QString::fromLocal8Bit(argv[2]).toInt(&sizeOk) : 0;
    if (!sizeOk || size < 1 || size > 4096) {
        std::fputs("usage: logwarden_svg2png INPUT.svg SIZE OUTPUT.png\n", stderr);
        return 2;
    }
    // No application object: the icon has no text, so no fonts and no display are needed.
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
