// SPDX-License-Identifier: MIT
#include "PlainUser.h"
#include "TempFiles.h"
#include "core/CommandLine.h"
#include "core/frmMain.h"
#include "gui/FileDialog.h"
#include "gui/Fonts.h"
#include "gui/Icons.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/StartState.h"
#include "gui/TextView.h"
#include "gui/Twips.h"
#include "view/Layout.h"

#include <QtTest>
#include <QtWidgets>
#include <cstring>

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

// The real window on a log holding `bytes`, in a temporary folder, loaded, shown and made
// active as the program starts it.
struct Shown : TempWorkDir {
    modGlobal global;
    TestPort port;
    frmMain form;
    MainWindow window{form};
    TextView& view = window.textView();
    explicit Shown(const QByteArray& bytes = numberedLines(1, 30), const QByteArray& settings = {},
                   const QString& name = QStringLiteral("app.log"))
        : form(global, port, log(bytes, settings, name)) {
        port.attach(&window);
        form.Form_Load();
        window.showInChosenState();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QString log(const QByteArray& bytes, const QByteArray& settings, const QString& name) {
        write(QStringLiteral("Logwarden.ini"), settings);
        QDir().mkpath(QFileInfo(path(name)).path());
        return write(name, bytes);
    }
    // The caption and value of each panel in turn: path, time stamp, size, keyword.
    QList<QLabel*> labels() const { return window.findChildren<QLabel*>(); }
    QAction* action(const QString& text) const {
        const QList<QAction*> all = window.findChildren<QAction*>();
        const auto it =
            std::find_if(all.begin(), all.end(), [&](auto* a) { return a->text() == text; });
        return it == all.end() ? nullptr : *it;
    }
    void keys(const char* keys) {
        QTest::keySequence(&window, QKeySequence(QString::fromLatin1(keys)));
    }
    qint64 icon() const { return window.windowIcon().cacheKey(); }
    bool onTop() const { return window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); }
};

// "line N even" or "line N odd", wider than the view.
QString taggedLine(int n) {
    return QStringLiteral("line %1 %2 ").arg(n).arg(n % 2 == 0 ? "even" : "odd") +
           QString(150, u'.');
}

QByteArray taggedLines(int first, int last) {
    QByteArray bytes;
    for (int i = first; i <= last; ++i) {
        bytes += taggedLine(i).toUtf8() + '\n';
    }
    return bytes;
}

// Chooses `path` in the next file dialog and answers its message box, if one comes, with
// `answer`; keeps what the dialog showed.
struct Chooser {
    QString shown, message;
    Chooser(const QString& path, QMessageBox::StandardButton answer) {
        QTimer::singleShot(0, [this, path, answer] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shown = dialog->windowTitle() + dialog->nameFilters().join(u'|') + u'@' +
                    dialog->directory().absolutePath();
            QTimer::singleShot(0, [this, answer] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    message = box->text();
                    QAbstractButton* button = box->button(answer);
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
    void windowShowsTheFormInTwips();
    void monitoringFlashesAndStaysOnTop();
    void dropOpensOneLocalFile_data();
    void dropOpensOneLocalFile();
    void dialogRefusesWhatTheRecordForbids_data();
    void dialogRefusesWhatTheRecordForbids();
    void newWindowStartsACopy_data();
    void newWindowStartsACopy();
    void formOutlivesItsWindow();
    void viewKeepsTheReadersPlace_data();
    void viewKeepsTheReadersPlace();
};

void GuiTest::windowShowsTheFormInTwips() {
    const QString deep = QStringLiteral("a-folder-deep-enough-to-be-too-long-for-the-label/");
    Shown w(numberedLines(1, 30), {}, deep.repeated(3) + "app<b>.log");
    const QString path = w.form.watchState().mstrFilePath;
    QCOMPARE(w.view.toPlainText(), QString(numberedLines(12, 30, false)));
    w.view.setFocus();
    w.view.selectAll(); // a selection must not narrow what is copied
    w.keys("Ctrl+C");
    QTRY_COMPARE(QGuiApplication::clipboard()->text(),
                 QString(numberedLines(12, 30)).replace("\n", "\r\n") + "\r\n");
    w.keys("Ctrl+F");
    w.keys("F9");
    QVERIFY(w.port.inputs.size() == 1 && w.labels()[7]->isVisible());
    const QAction* start = w.action(QStringLiteral("開始(&S)"));
    QVERIFY(start->isEnabled() && start->shortcut() == QKeySequence(QStringLiteral("Ctrl+S")));
    QVERIFY(w.action("アイコンの点滅")->isChecked() && !w.action("アイコンの点滅")->isEnabled());
    QVERIFY(w.action("&1. " + path) && !w.action("（なし）")->isVisible()); // added after building

    const QList<QLabel*> labels = w.labels();
    QCOMPARE(labels.size(), 8);
    // The path keeps both ends, and shows whole, as plain text, in its tooltip.
    const QLabel& pathLabel = *labels[1];
    QVERIFY(pathLabel.text().startsWith(path.left(10)) && pathLabel.text().endsWith("app<b>.log"));
    QVERIFY(pathLabel.text().contains(QChar(0x2026)));
    QVERIFY(pathLabel.toolTip().contains(path.toHtmlEscaped()));
    QCOMPARE(w.view.geometry(), Twips(w.window).toPixels(w.form.txtView.rect()));
    // No label cuts a line of its text, and each stays inside its panel's border.
    for (const QLabel* label : labels) {
        const auto* panel = qobject_cast<const QFrame*>(label->parentWidget());
        QVERIFY2(label->height() >= label->fontMetrics().height() && panel &&
                     panel->contentsRect().contains(label->geometry()),
                 qPrintable(label->text()));
    }
    const QFontMetrics metrics(windowFont(9));
    for (const QChar c : QStringLiteral("ファイルパス：タイムスタンプ監視中抽出キーワード")) {
        QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("no glyph for ") + c));
    }
    QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
}

void GuiTest::monitoringFlashesAndStaysOnTop() {
    Shown w;
    QCOMPARE(w.icon(), windowIconImage(0).cacheKey());
    w.view.setFocus();
    w.keys("Ctrl+S");
    QCOMPARE(w.window.windowTitle(), frmMain::GetAppCaption() + QStringLiteral(" - 監視中"));
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(!w.window.isActiveWindow());
    w.append(QStringLiteral("app.log"), "news\n");
    QTRY_VERIFY_WITH_TIMEOUT(w.view.toPlainText().endsWith(QStringLiteral("\nnews")), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(w.icon(), windowIconImage(2).cacheKey(), 5000);
    QTRY_COMPARE(w.icon(), windowIconImage(1).cacheKey());
    QTRY_COMPARE(w.icon(), windowIconImage(2).cacheKey());
    w.window.activateWindow();
    QTRY_COMPARE(w.icon(), windowIconImage(0).cacheKey());
    QVERIFY(!w.form.timFlash.enabled());
    w.keys("Ctrl+E");
    QCOMPARE(w.window.windowTitle(), frmMain::GetAppCaption());

    // On top and back with the flags changed in place: the native window is neither hidden nor
    // made anew.
    const WId native = w.window.winId();
    const QRect frame = w.window.frameGeometry();
    QSignalSpy visibility(w.window.windowHandle(), &QWindow::visibleChanged);
    w.keys("F4");
    QVERIFY(w.global.gblnModeWindowForward && w.onTop());
    w.window.resize(w.window.size() + QSize(30, 20)); // every layout pass asks for it again
    w.window.resize(w.window.size() - QSize(30, 20));
    w.keys("F4");
    QVERIFY(!w.onTop());
    w.keys("F4");
    w.form.Form_QueryUnload(); // closing takes it off the top and keeps the setting
    QVERIFY(!w.onTop() && w.global.gblnModeWindowForward && visibility.isEmpty());
    QVERIFY(w.window.winId() == native && w.window.frameGeometry() == frame &&
            w.window.isVisible());

    // The least outer size is what the form allows, to the pixel; the largest is what a desktop
    // can show, so that a size asked for from outside cannot cost gigabytes.
    const Twips twips(w.window);
    const auto fits = [&](QSize s) {
        return twips.fromPixelsX(s.width()) >= MinimumOuterTwips &&
               twips.fromPixelsY(s.height()) >= MinimumOuterTwips;
    };
    const QSize least = w.window.minimumSize() + w.window.frameGeometry().size() - w.window.size();
    QVERIFY(fits(least) && !fits(least - QSize(1, 0)) && !fits(least - QSize(0, 1)));
    w.window.resize(10, 10);
    QCOMPARE(w.window.size(), w.window.minimumSize());
    w.window.resize(32767, 32767);
    QVERIFY(w.window.size().boundedTo(2 * w.window.screen()->virtualSize()) == w.window.size());
    const ui::Size outer = w.form.window.outerSize();
    QVERIFY(outer.width >= MinimumOuterTwips && outer.height >= MinimumOuterTwips);
    QCOMPARE(w.form.txtView.rect().height,
             std::max(0.0, w.form.window.clientSize().height - w.form.txtView.rect().top));
}

void GuiTest::dropOpensOneLocalFile_data() {
    QTest::addColumn<int>("part"); // -1: the text view; else a label, +10 for its panel
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("offered");
    const int copyOrMove = Qt::CopyAction | Qt::MoveAction;
    QTest::newRow("on the text view") << -1 << "file" << copyOrMove;
    QTest::newRow("on the path caption") << 0 << "file" << copyOrMove;
    QTest::newRow("on the size panel") << 14 << "file" << copyOrMove;
    QTest::newRow("on the keyword value") << 7 << "file" << copyOrMove;
    QTest::newRow("offered as a link") << -1 << "file" << int(Qt::LinkAction);
    QTest::newRow("offered as a move only") << -1 << "none" << int(Qt::MoveAction);
    QTest::newRow("two files") << -1 << "two files" << copyOrMove;
    QTest::newRow("a folder") << -1 << "folder" << copyOrMove;
    QTest::newRow("a web address") << -1 << "web" << copyOrMove;
    QTest::newRow("plain text") << -1 << "text" << copyOrMove;
}

// Delivered as the platform does: to the native window, at a point, Qt finding the widget.
void GuiTest::dropOpensOneLocalFile() {
    QFETCH(int, part);
    QFETCH(QString, what);
    QFETCH(int, offered);
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
        {"none", {url}},
        {"two files", {url, QUrl::fromLocalFile(w.path(QStringLiteral("app.log")))}},
        {"folder", {QUrl::fromLocalFile(w.path({}))}},
        {"web", {QUrl(QStringLiteral("https://example.org/a.log"))}}};
    QMimeData data;
    urls.contains(what) ? data.setUrls(urls[what]) : data.setText(dropped);
    const Qt::DropActions actions(offered);
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.windowHandle(), &enter);
    QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.windowHandle(), &move);
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.window.windowHandle(), &drop);

    const bool opens = what == QLatin1String("file");
    QVERIFY(drop.isAccepted() || !opens);
    QVERIFY(!drop.isAccepted() ||
            drop.dropAction() == (actions & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction));
    QCOMPARE(w.form.watchState().mstrFilePath, opens ? dropped : w.path(QStringLiteral("app.log")));
    QCOMPARE(w.view.toPlainText().contains(QStringLiteral("dropped line")), opens);
    QCOMPARE(w.form.timFileCheck.enabled(), !opens);
}

void GuiTest::dialogRefusesWhatTheRecordForbids_data() {
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("room"); // of the file buffer
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("message"); // a part of it; empty for none
    const auto ok = QMessageBox::Ok, no = QMessageBox::No, yes = QMessageBox::Yes;
    const uint create = OFN_CREATEPROMPT;
    QTest::newRow("a file") << OFN_FILEMUSTEXIST << "app.log" << 260 << ok << QString();
    QTest::newRow("too long for the buffer") << 0u << "app.log" << 8 << ok << "パスが長すぎます";
    QTest::newRow("read-only") << OFN_NOREADONLYRETURN << "ro.log" << 260 << ok << "読み取り専用";
    QTest::newRow("read-only, allowed") << 0u << "ro.log" << 260 << ok << QString();
    QTest::newRow("no folder") << OFN_PATHMUSTEXIST << "no/a.log" << 260 << ok << "存在しません";
    QTest::newRow("to be created, no") << create << "new.log" << 260 << no << "作成しますか";
    QTest::newRow("to be created, yes") << create << "new.log" << 260 << yes << "作成しますか";
}

// A save dialog but for app.log; as an ordinary user, so that file modes bind.
void GuiTest::dialogRefusesWhatTheRecordForbids() {
    QFETCH(uint, flags);
    QFETCH(QString, name);
    QFETCH(int, room);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, message);
    TempWorkDir dir;
    dir.write(QStringLiteral("app.log"), "x\n");
    QVERIFY(QFile::setPermissions(dir.write(QStringLiteral("ro.log"), "x\n"), QFile::ReadOwner));
    QVERIFY(QDir().mkdir(dir.path(QStringLiteral("start"))));
    const PlainUser user(dir.path({}));
    QVERIFY(user.modesApply());
    OpenFileName record;
    record.Flags = flags | OFN_NOCHANGEDIR;
    record.lpstrFile = QByteArray(room, '\0');
    record.nMaxFile = uint(room);
    record.lpstrTitle = "保存";
    record.lpstrFilter = QByteArrayLiteral("Logs\0*.log; *.txt\0All\0*.*\0\0");
    record.lpstrInitialDir = encodeFileName(dir.path(QStringLiteral("start")));
    Chooser chooser(dir.path(name), answer);
    QtPort port;
    const bool save = name != QLatin1String("app.log");
    const bool taken = port.showFileDialog(
        save ? PlatformPort::FileDialog::Save : PlatformPort::FileDialog::Open, record);
    QCOMPARE(chooser.shown, "保存Logs (*.log *.txt)|All (*)@" + dir.path(QStringLiteral("start")));
    QVERIFY2(chooser.message.contains(message), qPrintable(chooser.message));
    QCOMPARE(chooser.message.isEmpty(), message.isEmpty());
    QCOMPARE(taken, message.isEmpty() || answer == QMessageBox::Yes);
    QCOMPARE(bufferText(record.lpstrFile), taken ? dir.path(name) : QString());
    // An empty description ends the list; a description without patterns is left out.
    QCOMPARE(nameFilters(QByteArrayLiteral("A\0;\0B\0*.b\0\0C\0*.c\0\0")), QStringList{"B (*.b)"});
}

void GuiTest::newWindowStartsACopy_data() {
    QTest::addColumn<bool>("watching");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<bool>("installed");
    QTest::newRow("normal, watching") << true << false << true;
    QTest::newRow("maximised, no file") << false << true << true;
    QTest::newRow("no program") << true << false << false;
}

void GuiTest::newWindowStartsACopy() {
    QFETCH(bool, watching);
    QFETCH(bool, maximized);
    QFETCH(bool, installed);
    TempWorkDir dir;
    // Blanks, quotes and shell syntax in both folders: nothing may split or run them.
    const QString bin = QStringLiteral("bin \"x\" $(touch y); z/");
    QVERIFY(QDir().mkpath(bin + "logs & it's $HOME"));
    const QString watched =
        dir.writeNamed(bin.toUtf8() + "logs & it's $HOME/caf\xe9 \"b\".log", "x\n");
    modGlobal global;
    TestPort port;
    port.program = dir.path(bin + "logwarden");
    if (installed) { // stands in for the program: records where and how it was started
        dir.write(bin + "logwarden",
                  "#!/bin/sh\nprintf '%s\\0' \"$(pwd -P)\" \"$LOGWARDEN_START_STATE\" "
                  "\"$@\" >started.tmp && mv started.tmp started.txt\n");
        QVERIFY(QFile::setPermissions(port.program, QFile::ReadOwner | QFile::ExeOwner));
    }
    frmMain form(global, port, watching ? watched : QString());
    form.Form_Load();
    const auto state = maximized ? ui::WindowState::Maximized : ui::WindowState::Normal;
    form.window.reportGeometry(state, {}, {});
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
    const QStringList expected{QDir::currentPath(), maximized ? "maximized" : "normal"};
    QCOMPARE(got, expected + (watching ? QStringList{u'"' + watched + u'"', {}} : QStringList{{}}));
    QCOMPARE(commandLinePath(joinArguments(got.mid(2, got.size() - 3))),
             watching ? watched : QString());
    QVERIFY(!QFile::exists(dir.path(QStringLiteral("y"))));
    // The copy takes that state once; no other.
    qputenv(StartStateVariable, got[1].toLatin1());
    QVERIFY(takeStartState() == state);
    qputenv(StartStateVariable, "minimized");
    QVERIFY(!takeStartState() && !qEnvironmentVariableIsSet(StartStateVariable));
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

void GuiTest::viewKeepsTheReadersPlace_data() {
    QTest::addColumn<QString>("reader"); // where the reader is: at the end, or a line selected
    QTest::addColumn<int>("appended");
    QTest::addColumn<QString>("change");
    QTest::newRow("at the end, at start") << "end" << 0 << "";
    QTest::newRow("at the end, a line came, one left") << "end" << 1 << "";
    QTest::newRow("at the end, more than a screenful came") << "end" << 40 << "";
    QTest::newRow("at the end, a larger text size") << "end" << 0 << "text size";
    QTest::newRow("at the end, a smaller window") << "end" << 0 << "smaller";
    QTest::newRow("a line came, one left") << "line" << 1 << "";
    QTest::newRow("a screenful came and left") << "line" << 40 << "";
    QTest::newRow("extraction on and off") << "line" << 0 << "extract";
    QTest::newRow("lines came while the view was hidden") << "line" << 1 << "hidden";
    QTest::newRow("the last line selected, out of view") << "last line" << 1 << "";
    QTest::newRow("paged up by keys") << "paged up" << 1 << "";
}

void GuiTest::viewKeepsTheReadersPlace() {
    QFETCH(QString, reader);
    QFETCH(int, appended);
    QFETCH(QString, change);
    const bool atEnd = reader == QLatin1String("end");
    Shown log(taggedLines(1, 300),
              "[SIZE VALUE LINECOUNT]\r\n20\r\n[SIZE VALUE BUFFERSIZE]\r\n2\r\n");
    TextView& view = log.view;
    QScrollBar& bar = *view.verticalScrollBar();
    const auto topLine = [&] {
        return view.cursorForPosition(QPoint(0, 0)).block().text();
    };
    // Scrolled to the end, the last line whole in view.
    const auto atBottom = [&] {
        const QRect last = view.cursorRect(QTextCursor(view.document()->lastBlock()));
        return bar.value() == bar.maximum() && last.top() >= 0 &&
               last.bottom() < view.viewport()->height();
    };
    if (!atEnd) {
        bar.setValue(100);
        QCOMPARE(topLine(), taggedLine(202)); // an even line: extraction keeps it
        QTextCursor selection(view.document());
        selection.setPosition(view.document()->findBlockByNumber(102).position());
        selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        if (reader == QLatin1String("last line")) {
            selection.movePosition(QTextCursor::End);
            selection.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        }
        view.setTextCursor(selection);
        const bool paged = reader == QLatin1String("paged up");
        bar.setValue(paged ? bar.maximum() : 100);
        if (paged) { // the view moves without telling its scroll bar
            QTest::keyClick(&view, Qt::Key_PageUp);
        }
        view.horizontalScrollBar()->setValue(30);
    }
    const QString top = topLine();
    const QString selected = view.textCursor().selectedText();
    const bool hidden = change == QLatin1String("hidden");
    if (hidden) {
        log.form.mnuViewText.click();
    }
    if (appended > 0) {
        log.append(QStringLiteral("app.log"), taggedLines(301, 300 + appended));
        log.form.RefreshTail();
    }
    if (hidden) {
        log.form.mnuViewText.click();
    }
    if (change == QLatin1String("text size")) {
        log.form.mnuTextSizeValue_Click(20);
    }
    log.window.resize(log.window.size() - QSize(0, change == QLatin1String("smaller") ? 100 : 0));
    for (const bool extract : {true, false}) { // extraction on, then off again
        if (change == QLatin1String("extract")) {
            log.global.gblnExtractMode = extract;
            log.global.gstrSearchWord = QStringLiteral("even");
            log.form.ShowTailText();
        }
        QVERIFY(view.isVisible() && view.textCursor().selectedText() == selected);
        QCOMPARE(view.horizontalScrollBar()->value(), atEnd ? 0 : 30);
        QTRY_COMPARE(atBottom(), atEnd);
        QVERIFY(atEnd || topLine() == top);
    }
    QCOMPARE(view.document()->lastBlock().text(), taggedLine(300 + appended));
    QCOMPARE(view.document()->blockCount(), 199);
}

QTEST_MAIN(GuiTest)
#include "tst_gui.moc"
