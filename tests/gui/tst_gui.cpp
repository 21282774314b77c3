// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "TempFiles.h"
#include "core/frmMain.h"
#include "files/OpenFileName.h"
#include "gui/Fonts.h"
#include "gui/Icons.h"
#include "gui/LogView.h"
#include "gui/MainWindow.h"
#include "gui/QtPort.h"
#include "gui/RulesDialog.h"
#include "gui/Twips.h"
#include "platform/System.h"
#include "settings/WatchRules.h"
#include "view/Layout.h"

#include <QtWidgets>
#include <cstring>
#ifdef Q_OS_WIN
#include "ImportHook.h"
#else
#include "PlainUser.h"
#include "files/ToolkitDialog.h"
#endif

using namespace logwarden;
using namespace logwarden::core;
using namespace logwarden::files;
using namespace logwarden::gui;

namespace {

// The real desktop, but message boxes are recorded, not shown.
struct TestPort : QtPort {
    MsgAnswer MsgBox(const QString& prompt, MsgButtons, MsgIcon, const QString&) override {
        messages << prompt;
        return MsgAnswer::Ok;
    }
    QString applicationFilePath() const override { return program; }
    QString program;
    QStringList messages;
};

// The real window on a log holding `bytes`, in a temporary folder, loaded, shown and made
// active as the program starts it.
struct Shown : TempWorkDir {
    modGlobal global;
    TestPort port;
    frmMain form;
    MainWindow window{form};
    LogView& view = window.textView();
    explicit Shown(const QByteArray& bytes = numberedLines(1, 30), const QByteArray& settings = {},
                   const QString& name = QStringLiteral("app.log"))
        : form(global, port, log(bytes, settings, name)) {
        port.attach(&window);
        form.Form_Load();
#ifdef Q_OS_WIN
        form.mnuOptionNewLineType_Click(2); // the logs here end their lines in LF
#endif
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
    QList<QLabel*> labels() const {
        return window.findChildren<QLabel*>();
    }
    void keys(const char* keys) {
        QTest::keySequence(&window, QKeySequence(QString(keys)));
    }
    qint64 icon() const {
        return window.windowIcon().cacheKey();
    }
};

// Lines FIRST..LAST, "line N even" or "line N odd", wider than the view.
QString taggedLines(int first, int last) {
    QString lines;
    for (int i = first; i <= last; ++i) {
        lines += QStringLiteral("line %1 %2 ").arg(i).arg(i % 2 ? "odd" : "even") +
                 QString(150, u'.') + u'\n';
    }
    return lines;
}

using Drop = std::tuple<const char*, bool, QString, int>;
using Choice = std::tuple<const char*, uint, QString, int, QMessageBox::StandardButton, QString>;
using Place = std::tuple<const char*, QString, int, QString>;
using Copy = std::tuple<const char*, bool, bool, bool>;

#ifdef Q_OS_WIN
std::vector<DWORD> flashes; // the flags of each FlashWindowEx

BOOL WINAPI recordFlash(PFLASHWINFO info) {
    flashes.push_back(info->dwFlags);
    return FALSE;
}
#endif

} // namespace

class GuiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowShowsTheForm() {
        const QString deep = QStringLiteral("a-folder-deep-enough-to-be-too-long-for-the-label/");
#ifdef Q_OS_WIN
        const QString file = QStringLiteral("app.log"); // no markup characters in a name
#else
        const QString file = QStringLiteral("app<b>.log");
#endif
        const QString name = deep.repeated(3) + file;
        Shown w(numberedLines(1, 30), {}, name);
        const QString path = w.form.watchState().mstrFilePath;
        w.view.setFocus();
        w.view.selectAll(); // a selection must not narrow what is copied
        w.keys("Ctrl+C");
        QTRY_COMPARE(QGuiApplication::clipboard()->text(),
                     QString(numberedLines(12, 30)).replace("\n", "\r\n") + "\r\n");
        w.keys("F9");
        const QList<QLabel*> labels = w.labels();
        QVERIFY(labels.size() == 8 && labels[7]->isVisible());
        // The path keeps both ends, and shows whole, as plain text, in its tooltip.
        const QString shown = labels[1]->text();
        QVERIFY(shown.startsWith(path.left(10)) && shown.endsWith(file));
        QVERIFY(shown.contains(QChar(0x2026)) &&
                labels[1]->toolTip().contains(path.toHtmlEscaped()));
        QCOMPARE(w.view.geometry(), Twips(w.window).toPixels(w.form.txtView.rect()));
        // No label cuts a line of its text, and each stays inside its panel's border.
        for (const QLabel* label : labels) {
            const auto* panel = qobject_cast<const QFrame*>(label->parentWidget());
            QVERIFY2(label->height() >= label->fontMetrics().height() && panel &&
                         panel->contentsRect().contains(label->geometry()),
                     qPrintable(label->text()));
        }
        // Fixed pitch, Japanese in the font itself, the control pictures in a fallback.
        const QFontMetrics metrics(windowFont(9));
        QVERIFY(metrics.horizontalAdvance(u'i') == metrics.horizontalAdvance(u'W') &&
                metrics.inFont(u'抽') && metrics.inFont(QChar(0x241B)));

        // A notice flashes the icon while another window is active.
        QCOMPARE(w.icon(), windowIconImage(0).cacheKey());
        w.form.mnuMonitorStart_Click();
        w.form.timFileCheck.setInterval(3600 * 1000); // news can come only by notification
        const QList<QAction*> actions = w.window.findChildren<QAction*>(); // their states follow
        const auto start = std::ranges::find(actions, QString("開始(&S)"), &QAction::text);
        QVERIFY(start != actions.end() && !(*start)->isEnabled());
        QWidget other;
        other.show(), other.activateWindow();
        QTRY_VERIFY(!w.window.isActiveWindow());
        w.append(name, "news\n");
        QTRY_VERIFY_WITH_TIMEOUT(w.view.toPlainText().endsWith(QStringLiteral("\nnews")), 3000);
        QTRY_COMPARE_WITH_TIMEOUT(w.icon(), windowIconImage(2).cacheKey(), 5000);
        w.window.activateWindow();
        QTRY_COMPARE(w.icon(), windowIconImage(0).cacheKey());
        QVERIFY(!w.form.timFlash.enabled());
        // On top with the flags changed in place: the native window is neither hidden nor made
        // anew.
        QSignalSpy visibility(w.window.windowHandle(), &QWindow::visibleChanged);
        w.keys("F4");
        QVERIFY(w.window.windowHandle()->flags() & Qt::WindowStaysOnTopHint &&
                visibility.isEmpty());

        // The least outer size is what the form allows, to the pixel; the largest is what a
        // desktop can show, so that a size asked for from outside cannot cost gigabytes.
        const Twips twips(w.window);
        const auto fits = [&](QSize s) {
            return twips.fromPixelsX(s.width()) >= view::MinimumOuterTwips &&
                   twips.fromPixelsY(s.height()) >= view::MinimumOuterTwips;
        };
        const QSize least =
            w.window.minimumSize() + w.window.frameGeometry().size() - w.window.size();
        QVERIFY(fits(least) && !fits(least - QSize(1, 0)) && !fits(least - QSize(0, 1)));
        w.window.resize(32767, 32767);
        QVERIFY(w.window.size().boundedTo(2 * w.window.screen()->virtualSize()) == w.window.size());
        QCOMPARE(w.form.txtView.rect().height,
                 std::max(0.0, w.form.window.clientSize().height - w.form.txtView.rect().top));
        // A line leaving with none coming goes alone.
        w.view.showText(QStringLiteral("a\nb\nc"));
        w.view.showText(QStringLiteral("b\nc"));
        QCOMPARE(w.view.toPlainText(), QStringLiteral("b\nc"));
        w.view.showText(QStringLiteral("x\nc\nd")); // a window cut inside a line starts anew
        QCOMPARE(w.view.toPlainText(), QStringLiteral("x\nc\nd"));
        // Screen readers read the text, its lines, the selection and the caret.
        w.view.setSelection({1, 0}, {1, 1});
        QAccessibleTextInterface* reader =
            QAccessible::queryAccessibleInterface(&w.view)->textInterface();
        int from = 0, to = 0, lineStart = 0, lineEnd = 0;
        reader->selection(0, &from, &to);
        QVERIFY(reader->text(0, reader->characterCount()) == "x\nc\nd" && from == 2 && to == 3 &&
                reader->cursorPosition() == 3 &&
                reader->textAtOffset(0, QAccessible::LineBoundary, &lineStart, &lineEnd) == "x\n");
        // A long line is laid out as far as it shows, then further as the reader scrolls along.
        w.view.showText(QString(10000, u'x'));
        QTRY_VERIFY(w.view.lastPainted().second == 1);
        QVERIFY(w.view.laidOutLength() < 1000); // of 3000 and the cut mark
        w.view.horizontalScrollBar()->setValue(w.view.horizontalScrollBar()->maximum());
        QTRY_VERIFY(w.view.laidOutLength() > 3000);
    }

#ifdef Q_OS_WIN
    // News while another window is active flashes the taskbar button; "always on top" is the
    // system's topmost window.
    void taskbarFlashAndTopmost() {
        if (QGuiApplication::platformName() != QLatin1String("windows")) {
            QSKIP("needs the system's own windows: tst_gui_windows runs this");
        }
        QVERIFY(replaceImport("user32.dll", "FlashWindowEx",
                              reinterpret_cast<const void*>(&recordFlash)));
        Shown w;
        const auto topmost = [&] {
            const auto window = reinterpret_cast<HWND>(w.window.winId());
            return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        };
        w.form.mnuMonitorStart_Click();
        QWidget other;
        other.show(), other.activateWindow();
        QTRY_VERIFY(!w.window.isActiveWindow());
        QVERIFY(flashes.empty());
        w.append(QStringLiteral("app.log"), "news\n");
        QTRY_COMPARE(flashes.size(), std::size_t(1));
        QVERIFY(flashes[0] & FLASHW_TRAY);
        QVERIFY(!topmost());
        w.form.mnuViewForward.click();
        QVERIFY(topmost() && w.window.isVisible());
        w.form.mnuViewForward.click();
        QVERIFY(!topmost());
    }
#endif

    // Where (the text view or the keyword panel's value), what, offered how.
    void dropOpensOneLocalFile_data() {
        const int copyOrMove = Qt::CopyAction | Qt::MoveAction;
        rows<Drop>({{"on the text view", false, "file", copyOrMove},
                    {"on the keyword value", true, "file", copyOrMove},
                    {"offered as a link", false, "file", Qt::LinkAction},
                    {"offered as a move only", false, "file", Qt::MoveAction},
                    {"two files", false, "two files", copyOrMove},
                    {"a web address", false, "web", copyOrMove},
                    {"another machine's file", false, "remote", copyOrMove},
                    {"a relative file URL", false, "relative", copyOrMove},
                    {"plain text", false, "text", copyOrMove}});
    }
    // Delivered as the platform does: to the native window, at a point, Qt finding the widget.
    void dropOpensOneLocalFile() {
        const auto [tag, onKeyword, what, offered] = row<Drop>();
        Shown w;
        w.form.mnuViewSearchWord_Click();
        w.form.mnuMonitorStart_Click();
        const QString dropped = w.writeNamed("dropped\xe9.log", "dropped line\n");
        QWidget* target = onKeyword ? w.labels().at(7) : w.view.viewport();
        const QPoint at = target->mapTo(&w.window, QPoint(2, 2));
        QCOMPARE(w.window.childAt(at), target);
#ifdef Q_OS_WIN
        const QUrl url = QUrl::fromLocalFile(dropped); // names are UTF-16 text there
#else
        // As a file manager offers a name: its bytes, percent-encoded.
        const QUrl url =
            QUrl::fromEncoded("file://" + encodeFileName(dropped).toPercentEncoding("/"));
#endif
        const QMap<QString, QList<QUrl>> urls{
            {"file", {url}},
            {"two files", {url, QUrl::fromLocalFile(w.path(QStringLiteral("app.log")))}},
            {"web", {QUrl(QStringLiteral("https://example.org/a.log"))}},
            {"remote", {QUrl("file://otherhost" + url.path())}},
            {"relative", {QUrl("file:" + url.fileName())}}};
        QMimeData data;
        urls.contains(what) ? data.setUrls(urls[what]) : data.setText(dropped);
        const Qt::DropActions actions(offered);
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &drop}) {
            QCoreApplication::sendEvent(w.window.windowHandle(), event);
        }
        const bool opens = what == QLatin1String("file") && offered != Qt::MoveAction;
        QVERIFY(drop.isAccepted() || !opens);
        QVERIFY(!drop.isAccepted() ||
                drop.dropAction() == (actions & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction));
        QCOMPARE(w.form.watchState().mstrFilePath, opens ? dropped : w.path("app.log"));
        QCOMPARE(w.view.toPlainText().contains(QStringLiteral("dropped line")), opens);
        QCOMPARE(w.form.timFileCheck.enabled(), !opens);
    }

    // The record's flags, the name chosen, the room in its buffer, the answer to a message box
    // and a part of that message (empty for none).
    void dialogRefusesWhatTheRecordForbids_data() {
        const auto ok = QMessageBox::Ok, no = QMessageBox::No, yes = QMessageBox::Yes;
        const uint create = OFN_CREATEPROMPT;
        rows<Choice>({
            {"a file", OFN_FILEMUSTEXIST, "app.log", 260, ok, ""},
            {"several files", OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT, "app.log", 260, ok, ""},
            {"too long for the buffer", 0, "app.log", 8, ok, "パスが長すぎます"},
            {"read-only", OFN_NOREADONLYRETURN, "ro.log", 260, ok, "読み取り専用"},
            {"read-only, allowed", 0, "ro.log", 260, ok, ""},
            {"no folder", OFN_PATHMUSTEXIST, "no/a.log", 260, ok, "存在しません"},
            {"to be created, no", create, "new.log", 260, no, "作成しますか"},
            {"to be created, yes", create, "new.log", 260, yes, "作成しますか"},
        });
    }
    // Chooses in the real dialog, a save dialog but for app.log, and answers its message box,
    // if one comes; as an ordinary user, so that file modes bind.
    void dialogRefusesWhatTheRecordForbids() {
#ifdef Q_OS_WIN
        QSKIP("the system's own dialog is shown there (tst_opensavedialog)");
#else
        const auto [tag, flags, name, room, answer, message] = row<Choice>();
        TempWorkDir dir;
        dir.write(QStringLiteral("app.log"), "x\n");
        QVERIFY(QFile::setPermissions(dir.write("ro.log", "x\n"), QFile::ReadOwner));
        QVERIFY(QDir().mkdir(dir.path(QStringLiteral("start"))));
        const PlainUser user(dir.path({}));
        REQUIRE_MODES(user);
        OpenFileName record;
        record.Flags = flags | OFN_NOCHANGEDIR;
        record.lpstrFile = QByteArray(room, '\0');
        record.nMaxFile = uint(room);
        record.lpstrTitle = "保存";
        // A description without patterns is left out; an empty one ends the list.
        record.lpstrFilter = QByteArrayLiteral("Logs\0*.log; *.txt\0No\0;\0All\0*.*\0\0C\0*.c\0\0");
        record.lpstrInitialDir = encodeFileName(dir.path(QStringLiteral("start")));
        QString shown, said;
        QTimer::singleShot(0, [&, answer = answer, name = name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shown = QString::number(dialog->fileMode()) + dialog->windowTitle() +
                    dialog->nameFilters().join(u'|') + u'@' + dialog->directory().absolutePath();
            QTimer::singleShot(0, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    said = box->text() + (box->textFormat() == Qt::PlainText ? "" : "<markup>");
                    box->button(answer) ? box->button(answer)->click() : box->reject();
                }
            });
            dialog->selectFile(dir.path(name));
            static_cast<QDialog*>(dialog)->accept(); // our override, through the public slot
            dialog->isVisible() ? dialog->reject() : void();
        });
        const bool save = name != QLatin1String("app.log");
        QtPort port;
        const bool taken = callDialogFunction(
            save ? DialogFunction::GetSaveFileName : DialogFunction::GetOpenFileName, record, port);
        const int mode = save || !flags                 ? QFileDialog::AnyFile
                         : flags & OFN_ALLOWMULTISELECT ? QFileDialog::ExistingFiles
                                                        : QFileDialog::ExistingFile;
        QCOMPARE(shown, QString::number(mode) + "保存Logs (*.log *.txt)|All (*)@" +
                            dir.path(QStringLiteral("start")));
        QVERIFY2(said.contains(message) && said.isEmpty() == message.isEmpty(), qPrintable(said));
        QCOMPARE(taken, message.isEmpty() || answer == QMessageBox::Yes);
        QCOMPARE(bufferText(record.lpstrFile), taken ? dir.path(name) : QString());
        QCOMPARE(record.lpstrFile.size(), room); // the caller's buffer keeps its size
#endif
    }

    // Watching, maximised, the program there; blanks, quotes, shell syntax and a character beyond
    // 16 bits in both folders:
    // nothing may split or run them. The form has outlived its window.
    void newWindowStartsACopy_data() {
        rows<Copy>({{"normal, watching", true, false, true},
                    {"maximised, no file", false, true, true},
                    {"no program", true, false, false}});
    }
    void newWindowStartsACopy() {
#ifdef Q_OS_WIN
        QSKIP("the stand-in for the program is a shell script");
#else
        const auto [tag, watching, maximized, installed] = row<Copy>();
        TempWorkDir dir;
        const QString bin = QStringLiteral("bin 💀 \"x\" $(touch y); z/");
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
        const auto state = maximized ? ui::WindowState::Maximized : ui::WindowState::Normal;
        form.window.reportGeometry(state, {}, {});
        form.mnuFileNew_Click();
        QFile record(dir.path(QStringLiteral("started.txt")));
        QTRY_VERIFY(!port.messages.isEmpty() || record.exists());
        if (!installed) {
            QVERIFY(port.messages.size() == 1 &&
                    port.messages[0].contains(QString::fromLocal8Bit(std::strerror(ENOENT))));
            return;
        }
        const char* value = maximized ? "maximized" : "normal";
        const QStringList expected =
            QStringList{QDir::currentPath(), value} +
            (watching ? QStringList{'"' + watched + '"', {}} : QStringList{{}});
        QVERIFY(port.messages.isEmpty() && record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), encodeFileName(expected.join(QChar(0))));
        // The copy takes that state once; no other.
        const auto show = maximized ? platform::StartShow::Maximized : platform::StartShow::Normal;
        qputenv("LOGWARDEN_START_STATE", value);
        QVERIFY(platform::takeStartShow() == show);
        qputenv("LOGWARDEN_START_STATE", "minimized");
        QVERIFY(!platform::takeStartShow() && !qEnvironmentVariableIsSet("LOGWARDEN_START_STATE"));
#endif
    }

    // Where the reader is (at the end, or a line selected), the lines appended, what changes.
    void viewKeepsTheReadersPlace_data() {
        rows<Place>({{"at the end, at start", "end", 0, ""},
                     {"at the end, a line came, one left", "end", 1, ""},
                     {"at the end, more than a screenful came", "end", 40, ""},
                     {"at the end, a larger text size", "end", 0, "text size"},
                     {"at the end, a line came, then a smaller window", "end", 1, "smaller"},
                     {"a line came, one left", "line", 1, ""},
                     {"at the very top, a line came, one left", "top", 1, ""},
                     {"a screenful came and left", "line", 40, ""},
                     {"a larger text size", "line", 0, "text size"},
                     {"extraction on and off", "line", 0, "extract"},
                     {"lines came while the view was hidden", "line", 1, "hidden"},
                     {"the last line selected, out of view", "last line", 1, ""},
                     {"paged up by keys", "paged up", 1, ""},
                     {"lines coloured by their text", "end", 1, "styled"}});
    }
    void viewKeepsTheReadersPlace() {
        const auto [tag, reader, appended, change] = row<Place>();
        const bool atEnd = reader == QLatin1String("end");
        Shown log(taggedLines(1, 300).toUtf8(),
                  "[SIZE VALUE LINECOUNT]\r\n20\r\n[SIZE VALUE BUFFERSIZE]\r\n2\r\n");
        LogView& view = log.view;
        QScrollBar& bar = *view.verticalScrollBar();
        const auto topLine = [&] {
            return view.lineText(view.topLine());
        };
        // Scrolled to the end, the last line whole in view.
        const auto atBottom = [&] {
            const QRect last = view.lineRect(view.lineCount() - 1);
            return bar.value() == bar.maximum() && last.top() >= 0 &&
                   last.bottom() < view.viewport()->height();
        };
        // What the screen shows, moved by blits and painted in strips, and a paint of it all.
        const auto shown = [&](bool onScreen) {
            const QRect at(view.viewport()->mapTo(&log.window, QPoint()), view.viewport()->size());
            return (onScreen ? log.window.screen()->grabWindow(log.window.winId(), at.x(), at.y(),
                                                               at.width(), at.height())
                             : view.viewport()->grab())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        if (!atEnd) {
            const bool last = reader == QLatin1String("last line"); // selected end first
            const TextPos start{last ? 198 : 102, 0};
            const TextPos end{start.line, int(view.lineText(start.line).size())};
            view.setSelection(last ? end : start, last ? start : end);
            const bool paged = reader == QLatin1String("paged up");
            bar.setValue(paged ? bar.maximum() : reader == QLatin1String("top") ? 0 : 100);
            if (paged) {
                QTest::keyClick(&view, Qt::Key_PageUp);
            }
            view.horizontalScrollBar()->setValue(30);
        }
        if (change == QLatin1String("styled")) { // the colours a watch rule would choose
            log.form.txtView.setLineStyler([](QStringView line) {
                return line.contains(u"even") ? ui::LineStyle{{}, ui::Color{255, 0, 0}}
                                              : ui::LineStyle{};
            });
        }
        const QString top = topLine();
        const QString selected = view.selectedText();
        const bool hidden = change == QLatin1String("hidden");
        hidden ? log.form.mnuViewText.click() : void();
        log.append(QStringLiteral("app.log"), taggedLines(301, 300 + appended).toUtf8());
        log.form.RefreshTail(); // also when nothing came
        hidden ? log.form.mnuViewText.click() : void();
        change == QLatin1String("text size") ? log.form.mnuTextSizeValue_Click(20) : void();
        log.window.resize(log.window.size() - QSize(0, change == "smaller" ? 100 : 0));
        for (const bool extract : {true, false}) { // extraction on, then off again
            if (change == QLatin1String("extract")) {
                log.global.gblnExtractMode = extract;
                log.global.gstrSearchWord = QStringLiteral("even");
                log.form.ShowTailText();
            }
            QVERIFY(view.isVisible() && view.selectedText() == selected);
            QCOMPARE(view.horizontalScrollBar()->value(), atEnd ? 0 : 30);
            QTRY_COMPARE(atBottom(), atEnd);
            QVERIFY(atEnd ||
                    (reader == QLatin1String("top") ? bar.value() == 0 : topLine() == top));
            QTRY_COMPARE(shown(true), shown(false));
        }
        const QImage pixels = shown(false);
        const auto background = [&](qsizetype line) {
            return pixels.pixelColor(pixels.width() - 3, view.lineRect(line).top() + 1);
        };
        QVERIFY(change != QLatin1String("styled") ||
                (background(view.lineCount() - 2) == Qt::red &&
                 background(view.lineCount() - 1) == Qt::white));
        QCOMPARE(view.toPlainText() + '\n', taggedLines(102 + appended, 300 + appended));
    }

    // The rules' dialog tells a rule it cannot take, at once and at OK, and gives the rules as
    // edited.
    void rulesDialogRefusesABadRule() {
        QWidget parent;
        const platform::WatchRulesRequest request{
            {{true, "(", true, true, true, {}, {}, false}}, "note", &settings::rulesProblem};
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            const auto close =
                qScopeGuard([&] { dialog && dialog->isVisible() ? dialog->reject() : void(); });
            QVERIFY(dialog);
            QLabel* problem = nullptr;
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                problem = label->text().startsWith("1 番目の規則: 正規表現") ? label : problem;
            }
            QVERIFY(problem && problem->isVisible());
            QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            ok->click();
            QVERIFY(dialog->isVisible());
            dialog->findChild<QTableWidget*>()->item(0, 1)->setText("ERROR");
            QVERIFY(problem->isHidden());
            ok->click();
        });
        const auto taken = gui::editWatchRules(&parent, request);
        QVERIFY(taken && taken->size() == 1);
        QCOMPARE(taken->at(0),
                 (platform::WatchRule{true, "ERROR", true, true, true, {}, {}, false}));
    }
};

QTEST_MAIN(GuiTest)
#include "tst_gui.moc"
