// SPDX-License-Identifier: MIT
#include "PlainUser.h"
#include "ShownWindow.h"
#include "TempFiles.h"
#include "core/CommandLine.h"
#include "gui/FileDialog.h"
#include "gui/Fonts.h"
#include "gui/Icons.h"
#include "gui/StartState.h"
#include "gui/TextView.h"
#include "gui/Twips.h"
#include "view/Layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QWindow>
#include <cstring>
#include <optional>

using namespace files;

namespace {

// The real desktop, but message and input boxes are recorded, not shown.
struct TestPort : QtPort {
    MsgAnswer MsgBox(const QString& prompt, MsgButtons, MsgIcon, const QString&) override {
        messages << prompt;
        return MsgAnswer::Ok;
    }
    QString InputBox(const QString& prompt, const QString&, const QString&) override {
        inputs << prompt;
        return {};
    }
    QString applicationFilePath() const override { return program; }
    QString program;
    QStringList messages, inputs;
};

struct Folder : TempWorkDir {
    QString logFor(const QByteArray& log, const QByteArray& ini) {
        if (!ini.isEmpty()) {
            write(QStringLiteral("Logwarden.ini"), ini);
        }
        return log.isNull() ? QString() : write(QStringLiteral("app.log"), log);
    }
};

// The window started on `log` as app.log (on no file when null), in a temporary current folder.
struct Shown : Folder, ShownWindow<TestPort> {
    explicit Shown(const QByteArray& log = numberedLines(1, 30), const QByteArray& ini = {})
        : ShownWindow(logFor(log, ini)) {}
    TextView& view = window.textView();
    // The caption and value of each panel in turn: path, time stamp, size, keyword.
    QList<QLabel*> labels() const { return window.findChildren<QLabel*>(); }
    QAction* action(const QString& text) const {
        for (QAction* action : window.findChildren<QAction*>()) {
            if (action->text() == text) {
                return action;
            }
        }
        return nullptr;
    }
    void appendLines(const QByteArray& lines) {
        append(QStringLiteral("app.log"), lines);
        form.RefreshTail();
    }
    qint64 iconKey() const { return window.windowIcon().cacheKey(); }
};

// "line N even" or "line N odd", wider than the view.
QString taggedLine(int n) {
    return QStringLiteral("line %1 %2 %3")
        .arg(n)
        .arg(n % 2 == 0 ? "even" : "odd", QString(150, u'.'));
}

QByteArray taggedLines(int first, int last) {
    QByteArray bytes;
    for (int i = first; i <= last; ++i) {
        bytes += taggedLine(i).toUtf8() + '\n';
    }
    return bytes;
}

// 300 lines, shown as the last 200 line ends (199 lines) of a 50 KB window.
struct Tagged : Shown {
    Tagged()
        : Shown(taggedLines(1, 300),
                "[SIZE VALUE LINECOUNT]\r\n20\r\n[SIZE VALUE BUFFERSIZE]\r\n2\r\n") {}
    int lines = 300;
    void add(int count) {
        appendLines(taggedLines(lines + 1, lines + count));
        lines += count;
    }
    QString topLine() const { return view.cursorForPosition(QPoint(0, 0)).block().text(); }
    // Scrolled to the end, the last line whole in view.
    bool atBottom() const {
        const QRect last = view.cursorRect(QTextCursor(view.document()->lastBlock()));
        return view.verticalScrollBar()->value() == view.verticalScrollBar()->maximum() &&
               last.top() >= 0 && last.bottom() < view.viewport()->height();
    }
};

// Chooses `path` in the next file dialog and answers its message box, if one comes, with
// `answer`; keeps what the dialog showed.
struct Chooser {
    QString title, filter, folder, message;
    explicit Chooser(const QString& path, int answer = QMessageBox::Ok) {
        QTimer::singleShot(0, [this, path, answer] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            title = dialog->windowTitle();
            filter = dialog->nameFilters().join(u'|');
            folder = dialog->directory().absolutePath();
            QTimer::singleShot(0, [this, answer] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    message = box->text();
                    QAbstractButton* button = box->button(QMessageBox::StandardButton(answer));
                    button ? button->click() : box->reject();
                }
            });
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // our override, through the public slot
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
    }
};

} // namespace

class GuiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menusMirrorTheModels();
    void shortcutsWorkFromTheView_data();
    void shortcutsWorkFromTheView();
    void dropOpensOneLocalFile_data();
    void dropOpensOneLocalFile();
    void openFromTheMenu();
    void dialogRefusesWhatTheRecordForbids_data();
    void dialogRefusesWhatTheRecordForbids();
    void nameFilters_data();
    void nameFilters();
    void newWindowStartsACopy_data();
    void newWindowStartsACopy();
    void startStateIsTakenOnce_data();
    void startStateIsTakenOnce();
    void monitoringShowsNewsAndFlashes();
    void stayOnTopKeepsTheNativeWindow();
    void outerSizeStaysWithinItsLimits();
    void panelsShowTheFileInTwips();
    void formOutlivesItsWindow();
    void viewFollowsTheEnd_data();
    void viewFollowsTheEnd();
    void readerKeepsThePlace_data();
    void readerKeepsThePlace();
    void copyTakesTheWholeText_data();
    void copyTakesTheWholeText();
};

void GuiTest::menusMirrorTheModels() {
    Shown w;
    QStringList titles;
    for (QAction* action : w.window.menuBar()->actions()) {
        titles << action->text();
    }
    QCOMPARE(titles, (QStringList{"ファイル(&F)", "編集(&E)", "モニタリング(&M)", "表示(&V)",
                                  "オプション(&O)"}));
    QAction* start = w.action(QStringLiteral("開始(&S)"));
    QVERIFY(start && start->isEnabled());
    QCOMPARE(start->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QAction* icon = w.action(QStringLiteral("アイコンの点滅"));
    QVERIFY(icon && icon->isChecked() && !icon->isEnabled());
    QVERIFY(w.action(QStringLiteral(" 25KB"))->isChecked());
    // The recent list, grown after the menus were built.
    QVERIFY(w.action(QStringLiteral("&1. ") + w.path(QStringLiteral("app.log"))));
    QVERIFY(!w.action(QStringLiteral("（なし）"))->isVisible());
}

void GuiTest::shortcutsWorkFromTheView_data() {
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("inputs");
    QTest::addColumn<bool>("searchPanel");
    QTest::addColumn<bool>("open");
    QTest::newRow("Ctrl+F asks for a keyword") << QKeySequence("Ctrl+F") << 1 << false << true;
    QTest::newRow("F9 shows the keyword panel") << QKeySequence("F9") << 0 << true << true;
    QTest::newRow("Ctrl+Q closes the window") << QKeySequence("Ctrl+Q") << 0 << false << false;
}

void GuiTest::shortcutsWorkFromTheView() {
    QFETCH(QKeySequence, keys);
    QFETCH(int, inputs);
    QFETCH(bool, searchPanel);
    QFETCH(bool, open);
    Shown w;
    w.view.setFocus();
    QTest::keySequence(&w.window, keys);
    QCOMPARE(int(w.port.inputs.size()), inputs);
    QCOMPARE(w.global.gblnViewSearchWord, searchPanel);
    QTRY_COMPARE(w.window.isVisible(), open);
}

void GuiTest::dropOpensOneLocalFile_data() {
    QTest::addColumn<int>("part"); // -1: the text view; else a label, +10 for its panel
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("offered");
    QTest::addColumn<bool>("opens");
    const int copyOrMove = Qt::CopyAction | Qt::MoveAction;
    QTest::newRow("on the text view") << -1 << "file" << copyOrMove << true;
    QTest::newRow("on the path caption") << 0 << "file" << copyOrMove << true;
    QTest::newRow("on the time stamp value") << 3 << "file" << copyOrMove << true;
    QTest::newRow("on the size panel") << 14 << "file" << copyOrMove << true;
    QTest::newRow("on the keyword value") << 7 << "file" << copyOrMove << true;
    QTest::newRow("offered as a link") << -1 << "file" << int(Qt::LinkAction) << true;
    QTest::newRow("offered as a move only") << -1 << "file" << int(Qt::MoveAction) << false;
    QTest::newRow("two files") << -1 << "two files" << copyOrMove << false;
    QTest::newRow("a folder") << -1 << "folder" << copyOrMove << false;
    QTest::newRow("a web address") << -1 << "web" << copyOrMove << false;
    QTest::newRow("plain text") << -1 << "text" << copyOrMove << false;
}

// Delivered as the platform does: to the native window, at a point, Qt finding the widget.
void GuiTest::dropOpensOneLocalFile() {
    QFETCH(int, part);
    QFETCH(QString, what);
    QFETCH(int, offered);
    QFETCH(bool, opens);
    Shown w;
    w.form.mnuViewSearchWord_Click();
    w.form.mnuMonitorStart_Click();
    const QString dropped = w.writeNamed("dropped\xe9.log", "dropped line\n");
    QWidget* target = part < 0 ? w.view.viewport() : w.labels().at(part % 10);
    target = part >= 10 ? target->parentWidget() : target;
    const QPoint at = target->mapTo(&w.window, QPoint(2, 2));
    QCOMPARE(w.window.childAt(at), target);
    // As a file manager offers a name: its bytes, percent-encoded.
    const QUrl url = QUrl::fromEncoded("file://" + encodeFileName(dropped).toPercentEncoding("/"));
    const QMap<QString, QList<QUrl>> urls{
        {"file", {url}},
        {"two files", {url, QUrl::fromLocalFile(w.path(QStringLiteral("app.log")))}},
        {"folder", {QUrl::fromLocalFile(w.path({}))}},
        {"web", {QUrl(QStringLiteral("https://example.org/a.log"))}}};
    QMimeData data;
    if (urls.contains(what)) {
        data.setUrls(urls[what]);
    } else {
        data.setText(dropped);
    }
    const Qt::DropActions actions(offered);
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.windowHandle(), &enter);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.windowHandle(), &move);
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.windowHandle(), &drop);

    const Qt::DropAction taken = actions & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction;
    QVERIFY(!drop.isAccepted() || drop.dropAction() == taken);
    QVERIFY(drop.isAccepted() || !opens);
    QCOMPARE(w.form.watchState().mstrFilePath, opens ? dropped : w.path(QStringLiteral("app.log")));
    QCOMPARE(w.view.toPlainText().contains(QStringLiteral("dropped line")), opens);
    QCOMPARE(w.form.timFileCheck.enabled(), !opens);
}

void GuiTest::openFromTheMenu() {
    Shown w(QByteArray{});
    QVERIFY(QDir().mkdir(w.path(QStringLiteral("logs"))));
    const QString syslog = w.write(QStringLiteral("logs/syslog"), "kernel: hello\n");
    const QString start = QDir::currentPath();
    Chooser chooser(syslog);
    w.form.mnuFileOpen_Click();
    QCOMPARE(chooser.title, QStringLiteral("ファイルを開く"));
    QCOMPARE(chooser.filter, QStringLiteral("すべてのファイル (*.*) (*)"));
    QCOMPARE(chooser.folder, start);
    QCOMPARE(w.form.watchState().mstrFilePath, syslog);
    QVERIFY(w.view.toPlainText().contains(QStringLiteral("kernel: hello")));
    QCOMPARE(QDir::currentPath(), w.path(QStringLiteral("logs")));
}

void GuiTest::dialogRefusesWhatTheRecordForbids_data() {
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("room"); // of the file buffer
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message"); // a part of it; empty for none
    const uint create = OFN_CREATEPROMPT;
    const int ok = QMessageBox::Ok;
    const int yes = QMessageBox::Yes;
    const int no = QMessageBox::No;
    QTest::newRow("a file") << OFN_FILEMUSTEXIST << "app.log" << 260 << ok << QString();
    QTest::newRow("too long for the buffer") << 0u << "app.log" << 8 << ok << "パスが長すぎます";
    QTest::newRow("read-only") << OFN_NOREADONLYRETURN << "ro.log" << 260 << ok << "読み取り専用";
    QTest::newRow("read-only, allowed") << 0u << "ro.log" << 260 << ok << QString();
    QTest::newRow("no such folder")
        << OFN_PATHMUSTEXIST << "no/a.log" << 260 << ok << "パスが存在しません";
    QTest::newRow("to be created, no") << create << "new.log" << 260 << no << "作成しますか";
    QTest::newRow("to be created, yes") << create << "new.log" << 260 << yes << "作成しますか";
}

// A save dialog but for an existing file; run as an ordinary user, so that modes bind.
void GuiTest::dialogRefusesWhatTheRecordForbids() {
    QFETCH(uint, flags);
    QFETCH(QString, name);
    QFETCH(int, room);
    QFETCH(int, answer);
    QFETCH(QString, message);
    Folder dir;
    const QString path = dir.path(name);
    dir.write(QStringLiteral("app.log"), "x\n");
    dir.write(QStringLiteral("ro.log"), "x\n");
    QVERIFY(QFile::setPermissions(dir.path(QStringLiteral("ro.log")), QFile::ReadOwner));
    QVERIFY(QDir().mkdir(dir.path(QStringLiteral("start"))));
    const PlainUser user(dir.path({}));
    QVERIFY(user.modesApply());
    OpenFileName record;
    record.Flags = flags | OFN_NOCHANGEDIR;
    record.lpstrFile = QByteArray(room, '\0');
    record.nMaxFile = uint(room);
    record.lpstrTitle = "保存";
    record.lpstrFilter = QByteArrayLiteral("Logs\0*.log\0\0");
    record.lpstrInitialDir = encodeFileName(dir.path(QStringLiteral("start")));
    Chooser chooser(path, answer);
    const bool taken = showRecordDialog(nullptr, name != QLatin1String("app.log"), record);
    QCOMPARE(chooser.title, QStringLiteral("保存"));
    QCOMPARE(chooser.filter, QStringLiteral("Logs (*.log)"));
    QCOMPARE(chooser.folder, dir.path(QStringLiteral("start")));
    QVERIFY2(chooser.message.contains(message), qPrintable(chooser.message));
    QCOMPARE(chooser.message.isEmpty(), message.isEmpty());
    QCOMPARE(taken, message.isEmpty() || answer == QMessageBox::Yes);
    QCOMPARE(bufferText(record.lpstrFile), taken ? path : QString());
}

void GuiTest::nameFilters_data() {
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

void GuiTest::nameFilters() {
    QFETCH(QByteArray, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(::nameFilters(filter), expected);
}

void GuiTest::newWindowStartsACopy_data() {
    QTest::addColumn<bool>("watching");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<bool>("installed");
    QTest::newRow("normal, watching") << true << false << true;
    QTest::newRow("maximised, watching") << true << true << true;
    QTest::newRow("no file") << false << false << true;
    QTest::newRow("no program") << true << false << false;
}

void GuiTest::newWindowStartsACopy() {
    QFETCH(bool, watching);
    QFETCH(bool, maximized);
    QFETCH(bool, installed);
    TempWorkDir dir;
    // Blanks, quotes and shell syntax in both folders: nothing may split or run them.
    const QString program = QStringLiteral("bin \"x\" $(touch y); z/logwarden");
    QVERIFY(QDir().mkpath(QStringLiteral("bin \"x\" $(touch y); z/logs & it's $HOME")));
    const QString watched =
        dir.writeNamed("bin \"x\" $(touch y); z/logs & it's $HOME/caf\xe9 \"b\".log", "x\n");
    modGlobal global;
    TestPort port;
    port.program = dir.path(program);
    if (installed) { // stands in for the program: records where and how it was started
        dir.write(program, "#!/bin/sh\nprintf '%s\\0' \"$(pwd -P)\" \"$LOGWARDEN_START_STATE\" "
                           "\"$@\" >started.tmp && mv started.tmp started.txt\n");
        QVERIFY(QFile::setPermissions(port.program, QFile::ReadOwner | QFile::ExeOwner));
    }
    frmMain form(global, port, watching ? watched : QString());
    form.Form_Load();
    form.window.reportGeometry(maximized ? ui::WindowState::Maximized : ui::WindowState::Normal, {},
                               {});
    form.mnuFileNew_Click();

    if (!installed) {
        QCOMPARE(port.messages.size(), 1);
        QVERIFY(port.messages[0].contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
        return;
    }
    QVERIFY(port.messages.isEmpty());
    QFile record(dir.path(QStringLiteral("started.txt")));
    QTRY_VERIFY(record.exists());
    QVERIFY(record.open(QIODevice::ReadOnly));
    QStringList got;
    for (const QByteArray& item : record.readAll().split('\0')) {
        got << decodeFileName(item);
    }
    QStringList expected{QDir::currentPath(), maximized ? "maximized" : "normal"};
    if (watching) {
        expected << u'"' + watched + u'"';
    }
    QCOMPARE(got, expected << QString()); // after the last NUL
    QCOMPARE(commandLinePath(joinArguments(got.mid(2, got.size() - 3))),
             watching ? watched : QString());
    QVERIFY(!QFile::exists(dir.path(QStringLiteral("y"))));
}

void GuiTest::startStateIsTakenOnce_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("state"); // -1: none
    QTest::newRow("maximized") << QByteArray("maximized") << int(ui::WindowState::Maximized);
    QTest::newRow("normal") << QByteArray("normal") << int(ui::WindowState::Normal);
    QTest::newRow("unknown") << QByteArray("minimized") << -1;
}

void GuiTest::startStateIsTakenOnce() {
    QFETCH(QByteArray, value);
    QFETCH(int, state);
    qputenv(StartStateVariable, value);
    const std::optional<ui::WindowState> taken = takeStartState();
    QCOMPARE(taken ? int(*taken) : -1, state);
    QVERIFY(!qEnvironmentVariableIsSet(StartStateVariable));
    QVERIFY(!takeStartState());
}

void GuiTest::monitoringShowsNewsAndFlashes() {
    Shown w;
    QCOMPARE(w.iconKey(), windowIconImage(0).cacheKey());
    w.view.setFocus();
    QTest::keySequence(&w.window, QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(w.window.windowTitle(), frmMain::GetAppCaption() + QStringLiteral(" - 監視中"));
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(!w.window.isActiveWindow());

    w.append(QStringLiteral("app.log"), "news\n");
    QTRY_VERIFY_WITH_TIMEOUT(w.view.toPlainText().endsWith(QStringLiteral("\nnews")), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(w.iconKey(), windowIconImage(2).cacheKey(), 5000);
    QTRY_COMPARE(w.iconKey(), windowIconImage(1).cacheKey());
    QTRY_COMPARE(w.iconKey(), windowIconImage(2).cacheKey());
    w.window.activateWindow();
    QTRY_COMPARE(w.iconKey(), windowIconImage(0).cacheKey());
    QVERIFY(!w.form.timFlash.enabled());
    QTest::keySequence(&w.window, QKeySequence(QStringLiteral("Ctrl+E")));
    QCOMPARE(w.window.windowTitle(), frmMain::GetAppCaption());
}

// Flags changed in place: the native window is neither hidden nor re-created.
void GuiTest::stayOnTopKeepsTheNativeWindow() {
    Shown w;
    const WId native = w.window.winId();
    const QRect frame = w.window.frameGeometry();
    QSignalSpy visibility(w.window.windowHandle(), &QWindow::visibleChanged);
    const auto onTop = [&] {
        return w.window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    };
    QTest::keyClick(&w.window, Qt::Key_F4);
    QVERIFY(w.global.gblnModeWindowForward && onTop());
    w.window.resize(w.window.size() + QSize(30, 20)); // every layout pass asks for it again
    w.window.resize(w.window.size() - QSize(30, 20));
    QTest::keyClick(&w.window, Qt::Key_F4);
    QVERIFY(!onTop());
    QTest::keyClick(&w.window, Qt::Key_F4);
    w.form.Form_QueryUnload(); // closing takes it off the top and keeps the setting
    QVERIFY(!onTop() && w.global.gblnModeWindowForward);
    QCOMPARE(w.window.winId(), native);
    QCOMPARE(w.window.frameGeometry(), frame);
    QVERIFY(w.window.isVisible());
    QCOMPARE(visibility.count(), 0);
}

void GuiTest::outerSizeStaysWithinItsLimits() {
    Shown w;
    const Twips twips(w.window);
    const QSize least = w.window.minimumSize() + w.window.frameGeometry().size() - w.window.size();
    QVERIFY(twips.fromPixelsX(least.width()) >= MinimumOuterTwips);
    QVERIFY(twips.fromPixelsY(least.height()) >= MinimumOuterTwips);
    QVERIFY(twips.fromPixelsX(least.width() - 1) < MinimumOuterTwips);
    QVERIFY(twips.fromPixelsY(least.height() - 1) < MinimumOuterTwips);
    w.window.resize(10, 10);
    QCOMPARE(w.window.size(), w.window.minimumSize());
    // Nor beyond what a desktop can show: a size asked for from outside must not cost gigabytes.
    w.window.resize(32767, 32767);
    QVERIFY(w.window.width() <= 2 * w.window.screen()->virtualSize().width());
    QVERIFY(w.window.height() <= 2 * w.window.screen()->virtualSize().height());
    QVERIFY(w.form.window.outerSize().width >= MinimumOuterTwips);
    QVERIFY(w.form.window.outerSize().height >= MinimumOuterTwips);
    QCOMPARE(w.form.txtView.rect().height,
             std::max(0.0, w.form.window.clientSize().height - w.form.txtView.rect().top));
}

void GuiTest::panelsShowTheFileInTwips() {
    Folder dir;
    const QString folder =
        QStringLiteral("a-folder-deep-enough-to-be-too-long-for-the-label/").repeated(3);
    QVERIFY(QDir().mkpath(folder));
    const QString path = dir.write(folder + "app<b>.log", numberedLines(1, 30));
    ShownWindow<TestPort> w(path);
    w.form.mnuViewSearchWord.click();
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Logwarden (ver 1.1.0)"));
    QCOMPARE(w.window.textView().toPlainText(), QString::fromLatin1(numberedLines(12, 30, false)));
    const QList<QLabel*> labels = w.window.findChildren<QLabel*>();
    QCOMPARE(labels.size(), 8);
    // The path keeps both ends, and shows whole, as plain text, in its tooltip.
    const QLabel& pathLabel = *labels[1];
    QVERIFY(pathLabel.text().startsWith(path.left(10)));
    QVERIFY(pathLabel.text().endsWith(QStringLiteral("app<b>.log")));
    QVERIFY(pathLabel.text().contains(QChar(0x2026)));
    QVERIFY(pathLabel.toolTip().contains(path.toHtmlEscaped()));
    QVERIFY(labels[5]->toolTip().contains(QStringLiteral("文字コード: UTF-8（自動判定）")));

    const Twips twips(w.window);
    QCOMPARE(pathLabel.parentWidget()->geometry(), twips.toPixels(w.form.fraFilePath.rect()));
    QCOMPARE(pathLabel.x(), twips.toPixelsX(1500));
    QCOMPARE(pathLabel.width(), twips.toPixelsX(w.form.fraFilePath.rect().width - 1600));
    QCOMPARE(w.window.textView().geometry(), twips.toPixels(w.form.txtView.rect()));
    QCOMPARE(w.window.textView().y(), twips.toPixelsY(1225));
    // No label cuts a line of its text, and each stays inside its panel's border.
    for (const QLabel* label : labels) {
        QVERIFY2(label->height() >= label->fontMetrics().height(), qPrintable(label->text()));
        const auto* panel = qobject_cast<const QFrame*>(label->parentWidget());
        QVERIFY2(panel && panel->contentsRect().contains(label->geometry()),
                 qPrintable(label->text()));
    }
    const QFontMetrics metrics(windowFont(9));
    for (const QChar c : QStringLiteral("ファイルパス：タイムスタンプ監視中抽出キーワード")) {
        QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for ") + c));
    }
    QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
}

void GuiTest::formOutlivesItsWindow() {
    TempWorkDir dir;
    modGlobal global;
    QtPort port;
    frmMain form(global, port, {});
    {
        MainWindow window(form);
        port.attach(&window);
        form.Form_Load();
        window.showInChosenState();
    }
    // Nothing may reach the destroyed widgets (the sanitizer build catches a stale observer).
    form.window.setCaption(QStringLiteral("after"));
    form.window.setIcon(2);
    form.window.reportGeometry(ui::WindowState::Normal, {3000, 3000}, {2880, 2205});
    form.Form_Resize();
    form.txtView.setText(QStringLiteral("text"));
    form.timFlash.setEnabled(true);
    form.timFileCheck.setEnabled(true);
    form.mnuViewText.click();
    form.AddRecentFile(QStringLiteral("/tmp/after.log"));
    QCOMPARE(form.window.outerSize(), (ui::Size{4000, 4000}));
}

void GuiTest::viewFollowsTheEnd_data() {
    QTest::addColumn<int>("appended");
    QTest::addColumn<int>("textSize");
    QTest::addColumn<int>("shrunk");
    QTest::newRow("at start") << 0 << 0 << 0;
    QTest::newRow("a line came, one left") << 1 << 0 << 0;
    QTest::newRow("more than a screenful came") << 40 << 0 << 0;
    QTest::newRow("a larger text size") << 0 << 20 << 0;
    QTest::newRow("a smaller window") << 0 << 0 << 100;
}

void GuiTest::viewFollowsTheEnd() {
    QFETCH(int, appended);
    QFETCH(int, textSize);
    QFETCH(int, shrunk);
    Tagged log;
    if (appended > 0) {
        log.add(appended);
    }
    if (textSize > 0) {
        log.form.mnuTextSizeValue_Click(textSize);
    }
    log.window.resize(log.window.size() - QSize(0, shrunk));
    QCOMPARE(log.view.document()->lastBlock().text(), taggedLine(log.lines));
    QCOMPARE(log.view.document()->blockCount(), 199);
    QTRY_VERIFY(log.atBottom());
    QCOMPARE(log.view.horizontalScrollBar()->value(), 0);
}

void GuiTest::readerKeepsThePlace_data() {
    QTest::addColumn<int>("appended");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("lastLineSelected");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("pagedUp");
    QTest::newRow("a line came, one left") << 1 << QString() << false << false << false;
    QTest::newRow("a screenful came and left") << 40 << QString() << false << false << false;
    QTest::newRow("extraction on") << 0 << QStringLiteral("even") << false << false << false;
    QTest::newRow("the last line selected, out of view")
        << 1 << QString() << true << false << false;
    QTest::newRow("lines came while the view was hidden")
        << 1 << QString() << false << true << false;
    QTest::newRow("paged up by keys") << 1 << QString() << false << false << true;
}

void GuiTest::readerKeepsThePlace() {
    QFETCH(int, appended);
    QFETCH(QString, keyword);
    QFETCH(bool, lastLineSelected);
    QFETCH(bool, hidden);
    QFETCH(bool, pagedUp);
    Tagged log;
    TextView& view = log.view;
    view.verticalScrollBar()->setValue(100);
    QCOMPARE(log.topLine(), taggedLine(202)); // an even line: extraction keeps it
    QTextCursor selection(view.document());
    if (lastLineSelected) {
        selection.movePosition(QTextCursor::End);
        selection.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    } else {
        selection.setPosition(view.document()->findBlockByNumber(102).position());
        selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    view.setTextCursor(selection);
    if (pagedUp) { // from the end; the view moves without telling its scroll bar
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
        QTest::keyClick(&view, Qt::Key_PageUp);
    } else {
        view.verticalScrollBar()->setValue(100);
    }
    view.horizontalScrollBar()->setValue(30);
    const QString top = log.topLine();
    const QString selected = view.textCursor().selectedText();

    if (hidden) {
        log.form.mnuViewText.click();
    }
    if (appended > 0) {
        log.add(appended);
    }
    if (hidden) {
        log.form.mnuViewText.click();
        QVERIFY(view.isVisible());
    }
    for (const QString& word : {keyword, QString()}) { // extraction on, then off again
        if (!keyword.isEmpty()) {
            log.global.gblnExtractMode = !word.isEmpty();
            log.global.gstrSearchWord = word;
            log.form.ShowTailText();
        }
        QCOMPARE(log.topLine(), top);
        QCOMPARE(view.textCursor().selectedText(), selected);
        QCOMPARE(view.horizontalScrollBar()->value(), 30);
        QVERIFY(!log.atBottom());
    }
}

void GuiTest::copyTakesTheWholeText_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("newLineType"); // 1: CR LF, 2: LF
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("copied");
    const QByteArray crlf = "first\r\nsecond\r\n";
    QTest::newRow("CR LF log") << crlf << 1 << "first\nsecond"
                               << "first\r\nsecond\r\n\r\n";
    QTest::newRow("CR LF log read as LF: single-spaced") << crlf << 2 << "first\nsecond"
                                                         << "first\r\r\nsecond\r\r\n\r\n";
    const QString wide(200000, u'x');
    QTest::newRow("one 200 KB line") << "head\n" + wide.toUtf8() + "\n"
                                     << 2 << "head\n" + wide.left(3000) + "…（197000 文字省略）"
                                     << "head\r\n" + wide + "\r\n\r\n";
    const QString marks = "a" + QString(100000, QChar(0x0301));
    QTest::newRow("100,000 marks on one character")
        << marks.toUtf8() + "\n"
        << 2 << marks.left(31) + "…（99970 文字省略）" << marks + "\r\n\r\n";
}

void GuiTest::copyTakesTheWholeText() {
    QFETCH(QByteArray, file);
    QFETCH(int, newLineType);
    QFETCH(QString, shown);
    QFETCH(QString, copied);
    Shown w(QByteArray{});
    w.form.mnuOptionBufferSize_Click(8); // 200 KB
    w.form.mnuOptionNewLineType_Click(newLineType);
    w.form.OpenWatchedFile(w.write(QStringLiteral("app.log"), file));
    QCOMPARE(w.view.toPlainText(), shown);
    w.view.setFocus();
    QTextCursor part = w.view.textCursor();
    part.setPosition(2);
    part.setPosition(4, QTextCursor::KeepAnchor);
    w.view.setTextCursor(part); // a selection must not narrow what is copied
    QTest::keySequence(&w.window, QKeySequence(QStringLiteral("Ctrl+C")));
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), copied);
}

QTEST_MAIN(GuiTest)
#include "tst_gui.moc"
