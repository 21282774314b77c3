// SPDX-License-Identifier: MIT
// The least a Qt program does to follow a log as Logwarden does: the last 20 lines in a
// plain-text view, the lines written since appended as the file notification reports them.
// The pixel figures set it beside Logwarden; it draws in the same face and colours.
#include <QApplication>
#include <QFile>
#include <QFileSystemWatcher>
#include <QPlainTextEdit>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    QFile log(QFile::decodeName(argv[1]));
    if (!log.open(QIODevice::ReadOnly)) {
        return 1;
    }
    QPlainTextEdit view;
    view.setReadOnly(true);
    view.setLineWrapMode(QPlainTextEdit::NoWrap);
    view.setMaximumBlockCount(20);
    view.setUndoRedoEnabled(false); // else every append stays in the undo stack
    QFont font({QStringLiteral("Noto Sans Mono CJK JP")}, 9);
    font.setStyleHint(QFont::Monospace);
    view.setFont(font);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, QColor(192, 255, 255));
    palette.setColor(QPalette::Text, Qt::black);
    view.setPalette(palette);

    // The last 20 lines of the last 25 KB, then whatever comes, a whole line at a time.
    log.seek(std::max<qint64>(0, log.size() - qint64{25} * 1024));
    QByteArray pending = log.readAll();
    const auto appendLines = [&] {
        pending += log.readAll();
        const qsizetype end = pending.lastIndexOf('\n');
        if (end >= 0) {
            view.appendPlainText(QString::fromUtf8(pending.left(end)));
            pending.remove(0, end + 1);
        }
    };
    appendLines();
    QFileSystemWatcher watcher({log.fileName()});
    QObject::connect(&watcher, &QFileSystemWatcher::fileChanged, appendLines);

    view.resize(800, 600);
    view.show();
    return QApplication::exec();
}
