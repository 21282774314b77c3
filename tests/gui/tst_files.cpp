// SPDX-License-Identifier: MIT
#include "FakePort.h"
#include "ShownWindow.h"
#include "TempFiles.h"
#include "core/CommandLine.h"
#include "core/frmMain.h"
#include "gui/FileDialog.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/StartState.h"
#include "gui/TextView.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QtTest>
#include <cstring>

namespace {

// A desktop whose "program" is a stand-in and whose message boxes are recorded, not shown.
class RecordingPort : public QtPort {
public:
    MsgAnswer MsgBox(const QString& prompt, MsgButtons, MsgIcon, const QString&) override {
        messages << prompt;
        return MsgAnswer::Ok;
    }
    QString applicationFilePath() const override { return program; }

    QString program;
    QStringList messages;
};

QLabel* labelWithText(QWidget& root, const QString& text) {
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text() == text) {
            return label;
        }
    }
    return nullptr;
}

// The widget that shows `part` of the window: the text view's viewport, a caption label, the
// value label beside it, or the frame that holds them.
QWidget* dropTarget(MainWindow& window, const QString& part) {
    if (part == QLatin1String("text view")) {
        return window.textView().viewport();
    }
    const QStringList words = part.split(u' ');
    QLabel* caption = labelWithText(window, words.first());
    if (!caption || words.size() == 1) {
        return caption;
    }
    if (words.last() == QLatin1String("frame")) {
        return caption->parentWidget();
    }
    for (QLabel* label : caption->parentWidget()->findChildren<QLabel*>()) {
        if (label != caption) {
            return label; // the value label
        }
    }
    return nullptr;
}

// Delivers a drag and drop over `target` the way the platform does: to the window's native
// window, at a point in it, leaving Qt to find the widget there.
std::pair<bool, Qt::DropAction> dropOn(QWidget& window, QWidget& target, const QMimeData& data,
                                       Qt::DropActions offered) {
    const QPoint at = target.mapTo(&window, QPoint(2, 2));
    QWindow* native = window.windowHandle();
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(native, &enter);
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(native, &move);
    QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(native, &drop);
    return {drop.isAccepted(), drop.dropAction()};
}

QMimeData* urlData(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        // As a file manager offers a name: its bytes, percent-encoded.
        urls << (path.startsWith(u'/')
                     ? QUrl::fromEncoded("file://" + encodeFileName(path).toPercentEncoding("/"))
                     : QUrl(path));
    }
    data->setUrls(urls);
    return data;
}

} // namespace

class FilesQtTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameFilters_data();
    void nameFilters();
    void dropOnAnyPartOpensTheFile_data();
    void dropOnAnyPartOpensTheFile();
    void dropsThatAreIgnored_data();
    void dropsThatAreIgnored();
    void openDialogListsEveryFile();
    void newWindowStartsACopyOnTheWatchedFile_data();
    void newWindowStartsACopyOnTheWatchedFile();
    void newWindowThatCannotStartSaysWhy();
    void startStateIsTakenOnce_data();
    void startStateIsTakenOnce();
    void quitClosesTheWindow();
};

void FilesQtTest::nameFilters_data() {
    QTest::addColumn<QByteArray>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("open command") << QByteArrayLiteral("すべてのファイル (*.*)\0*.*;\0\0")
                                  << QStringList{"すべてのファイル (*.*) (*)"};
    QTest::newRow("two pairs") << QByteArrayLiteral("Logs\0*.log; *.txt\0All\0*.*\0\0")
                               << QStringList{"Logs (*.log *.txt)", "All (*)"};
    QTest::newRow("none") << QByteArray() << QStringList{};
    QTest::newRow("description without patterns") << QByteArrayLiteral("Logs\0\0") << QStringList{};
    QTest::newRow("empty pattern list skipped")
        << QByteArrayLiteral("A\0;\0B\0*.b\0\0") << QStringList{"B (*.b)"};
    QTest::newRow("ends at an empty description")
        << QByteArrayLiteral("A\0*.a\0\0B\0*.b\0\0") << QStringList{"A (*.a)"};
}

void FilesQtTest::nameFilters() {
    QFETCH(QByteArray, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(::nameFilters(filter), expected);
}

void FilesQtTest::dropOnAnyPartOpensTheFile_data() {
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("text view") << "text view" << QByteArray("dropped\xe9.log");
    QTest::newRow("file path caption") << "ファイルパス：" << QByteArray("dropped.log");
    QTest::newRow("file path value") << "ファイルパス： value" << QByteArray("dropped.log");
    QTest::newRow("time stamp frame") << "タイムスタンプ： frame" << QByteArray("dropped.log");
    QTest::newRow("file size caption") << "ファイルサイズ：" << QByteArray("dropped.log");
    QTest::newRow("keyword caption") << "抽出キーワード：" << QByteArray("dropped.log");
    QTest::newRow("keyword value") << "抽出キーワード： value" << QByteArray("dropped.log");
}

void FilesQtTest::dropOnAnyPartOpensTheFile() {
    QFETCH(QString, part);
    QFETCH(QByteArray, name);
    TempWorkDir dir;
    const QString watched = dir.write("app.log", "old\n");
    const QString dropped = dir.writeNamed(name, "dropped line\n");
    ShownWindow<FakePort> w(watched);
    w.form.mnuViewSearchWord_Click();
    w.form.mnuMonitorStart_Click();
    QWidget* target = dropTarget(w.window, part);
    QVERIFY(target && target->isVisible());
    QCOMPARE(w.window.childAt(target->mapTo(&w.window, QPoint(2, 2))), target);

    const std::unique_ptr<QMimeData> data(urlData({dropped}));
    const auto [accepted, action] =
        dropOn(w.window, *target, *data, Qt::CopyAction | Qt::MoveAction);

    QVERIFY(accepted);
    QCOMPARE(action, Qt::CopyAction);
    QCOMPARE(w.form.watchState().mstrFilePath, dropped);
    QVERIFY(w.window.textView().toPlainText().contains(QStringLiteral("dropped line")));
    QVERIFY(!w.form.timFileCheck.enabled());
}

void FilesQtTest::dropsThatAreIgnored_data() {
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<bool>("textOnly");
    QTest::addColumn<int>("offered");
    const int copy = Qt::CopyAction;
    QTest::newRow("two files") << QStringList{"a.log", "b.log"} << false << copy;
    QTest::newRow("a folder") << QStringList{"sub"} << false << copy;
    QTest::newRow("a web address") << QStringList{"https://example.org/a.log"} << false << copy;
    QTest::newRow("plain text") << QStringList{} << true << copy;
    QTest::newRow("move only") << QStringList{"a.log"} << false << int(Qt::MoveAction);
}

void FilesQtTest::dropsThatAreIgnored() {
    QFETCH(QStringList, urls);
    QFETCH(bool, textOnly);
    QFETCH(int, offered);
    TempWorkDir dir;
    const QString watched = dir.write("app.log", "old\n");
    dir.write("a.log", "a\n");
    dir.write("b.log", "b\n");
    QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("sub")));
    ShownWindow<FakePort> w(watched);
    w.form.mnuMonitorStart_Click();
    QStringList paths;
    for (const QString& url : urls) {
        paths << (url.contains(u':') ? url : dir.path(url));
    }
    const std::unique_ptr<QMimeData> data(urlData(paths));
    if (textOnly) {
        data->clear();
        data->setText(dir.path("a.log"));
    }
    const auto [accepted, action] =
        dropOn(w.window, *w.window.textView().viewport(), *data, Qt::DropActions(offered));
    QVERIFY(!accepted || action != Qt::MoveAction);
    QCOMPARE(w.form.watchState().mstrFilePath, watched);
    QVERIFY(w.form.timFileCheck.enabled());
    QCOMPARE(w.port.focusCount, 0);
}

// The real dialog: its title, filter and first folder, "syslog" listed although it has no dot,
// and the choice opened, with the current directory left at its folder.
void FilesQtTest::openDialogListsEveryFile() {
    TempWorkDir dir;
    QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("logs")));
    const QString syslog = dir.write("logs/syslog", "kernel: hello\n");
    dir.write("logs/app.log", "x\n");
    ShownWindow<QtPort> w;
    const QString start = QDir::currentPath();
    QString title;
    QString filter;
    QString folder;
    bool listed = false;
    QTimer::singleShot(0, &w.window, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            return;
        }
        title = dialog->windowTitle();
        filter = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))->currentText();
        folder = dialog->directory().absolutePath();
        dialog->setDirectory(dir.path(QStringLiteral("logs")));
        const auto* model = dialog->findChild<QFileSystemModel*>();
        const auto shown = [model, logs = dir.path(QStringLiteral("logs"))] {
            QStringList names;
            const QModelIndex folderIndex = model->index(logs);
            for (int row = 0; row < model->rowCount(folderIndex); ++row) {
                names << model->index(row, 0, folderIndex).data().toString();
            }
            return names;
        };
        // app.log shows the folder was read; syslog must be there beside it.
        listed =
            QTest::qWaitFor([&] { return shown().contains(QStringLiteral("app.log")); }, 5000) &&
            shown().contains(QStringLiteral("syslog"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (listed && name) {
            QTest::keyClicks(name, QStringLiteral("syslog"));
            QTest::keyClick(name, Qt::Key_Return);
        }
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    w.form.mnuFileOpen_Click();

    QCOMPARE(title, QStringLiteral("ファイルを開く"));
    QCOMPARE(filter, QStringLiteral("すべてのファイル (*.*)"));
    QCOMPARE(folder, start);
    QVERIFY(listed);
    QCOMPARE(w.form.watchState().mstrFilePath, syslog);
    QVERIFY(w.window.textView().toPlainText().contains(QStringLiteral("kernel: hello")));
    QCOMPARE(QDir::currentPath(), dir.path(QStringLiteral("logs")));
}

void FilesQtTest::newWindowStartsACopyOnTheWatchedFile_data() {
    QTest::addColumn<bool>("watching");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("normal, watching") << true << false;
    QTest::newRow("maximised, watching") << true << true;
    QTest::newRow("no file") << false << false;
}

void FilesQtTest::newWindowStartsACopyOnTheWatchedFile() {
    QFETCH(bool, watching);
    QFETCH(bool, maximized);
    TempWorkDir dir;
    // Blanks, quotes and shell syntax in both folders: nothing may split or run them.
    const QString programDir = dir.path(QStringLiteral("bin \"x\" $(touch y); z"));
    const QString logDir = dir.path(QStringLiteral("logs & it's $HOME"));
    QVERIFY(QDir().mkpath(programDir) && QDir().mkpath(logDir));
    const QString program = programDir + QStringLiteral("/logwarden");
    QVERIFY(QFile::copy(QStringLiteral(START_RECORDER), program));
    const QString watched =
        dir.writeNamed(QByteArray("logs & it's $HOME/caf\xe9 \"b\".log"), "x\n");

    modGlobal global;
    RecordingPort port;
    port.program = program;
    frmMain form(global, port, watching ? watched : QString());
    form.Form_Load();
    form.window.reportGeometry(maximized ? ui::WindowState::Maximized : ui::WindowState::Normal, {},
                               {});
    form.mnuFileNew_Click();

    QVERIFY(port.messages.isEmpty());
    const QString record = dir.path(QStringLiteral("started.txt"));
    QTRY_VERIFY(QFile::exists(record));
    QFile file(record);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> items = file.readAll().split('\0');
    QStringList expected{QDir::currentPath(),
                         maximized ? QStringLiteral("maximized") : QStringLiteral("normal")};
    if (watching) {
        expected << u'"' + watched + u'"';
    }
    expected << QString(); // after the last NUL
    QStringList got;
    for (const QByteArray& item : items) {
        got << decodeFileName(item);
    }
    QCOMPARE(got, expected);
    QCOMPARE(commandLinePath(joinArguments(got.mid(2, got.size() - 3))),
             watching ? watched : QString());
    QVERIFY(!QFile::exists(dir.path(QStringLiteral("y"))));
}

void FilesQtTest::newWindowThatCannotStartSaysWhy() {
    TempWorkDir dir;
    modGlobal global;
    RecordingPort port;
    port.program = dir.path(QStringLiteral("missing/logwarden"));
    frmMain form(global, port, {});
    form.Form_Load();
    form.mnuFileNew_Click();
    QCOMPARE(port.messages.size(), 1);
    QVERIFY2(port.messages[0].contains(QString::fromLocal8Bit(std::strerror(ENOENT))),
             qPrintable(port.messages[0]));
}

void FilesQtTest::startStateIsTakenOnce_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("state"); // -1: none
    QTest::newRow("maximized") << QByteArray("maximized") << int(ui::WindowState::Maximized);
    QTest::newRow("normal") << QByteArray("normal") << int(ui::WindowState::Normal);
    QTest::newRow("unknown") << QByteArray("minimized") << -1;
    QTest::newRow("unset") << QByteArray() << -1;
}

void FilesQtTest::startStateIsTakenOnce() {
    QFETCH(QByteArray, value);
    QFETCH(int, state);
    if (value.isNull()) {
        qunsetenv(StartStateVariable);
    } else {
        qputenv(StartStateVariable, value);
    }
    const std::optional<ui::WindowState> taken = takeStartState();
    QCOMPARE(taken ? int(*taken) : -1, state);
    QVERIFY(!qEnvironmentVariableIsSet(StartStateVariable));
    QVERIFY(!takeStartState());
}

void FilesQtTest::quitClosesTheWindow() {
    TempWorkDir dir;
    ShownWindow<QtPort> w;
    QVERIFY(w.window.isVisible());
    QTest::keySequence(&w.window, QKeySequence(QStringLiteral("Ctrl+Q")));
    QTRY_VERIFY(!w.window.isVisible());
}

QTEST_MAIN(FilesQtTest)
#include "tst_files.moc"
