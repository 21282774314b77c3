// SPDX-License-Identifier: MIT
// The smallest Qt program that shows a window with a line of Japanese text, as Logwarden's
// window must: what start-up is measured against. With --bare, an empty window, for scale.
#include <QApplication>
#include <QLabel>
#include <cstring>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const bool bare = argc > 1 && std::strcmp(argv[1], "--bare") == 0;
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
    } else {
        window = std::make_unique<QLabel>(QStringLiteral("こんにちは、世界"));
    }
    window->resize(400, 270); // about the size Logwarden opens at
    window->show();
    return QApplication::exec();
}
