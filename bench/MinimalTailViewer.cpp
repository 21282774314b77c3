// SPDX-License-Identifier: MIT
// The least a Qt program does to show a log's tail as Logwarden does by default: the last 20
// lines of the file, read from its last 25 KB, in a plain-text view, on the background colour
// the screen figures look for. What start-up on the X display is measured against.
#include "PhysicalLimit.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <vector>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    constexpr std::int64_t bufferKiB = 25;
    std::vector<char> buffer(bufferKiB * 1024 + 1);
    QPlainTextEdit view;
    view.setReadOnly(true);
    view.setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, QColor(192, 255, 255));
    view.setPalette(palette);
    view.setPlainText(bench::limitRefresh(argv[1], 20, bufferKiB, buffer.data()));
    view.resize(400, 270); // about the size Logwarden opens at
    view.show();
    return QApplication::exec();
}
