// The smallest Qt widgets program that shows a window: what start-up is measured against.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(400, 270); // about the size Logwarden opens at
    window.show();
    return QApplication::exec();
}
