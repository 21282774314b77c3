// SPDX-License-Identifier: MIT
#include "ShownWindow.h"
#include "TempFiles.h"
#include "gui/TextView.h"

#include <QClipboard>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

namespace {

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

// The program started on a log of 300 lines, set to show the last 200 line ends (199 lines)
// of a 50 KB window.
struct Watched {
    TempWorkDir dir;
    QString path = dir.write(QStringLiteral("app.log"), taggedLines(1, 300));
    QString settings =
        dir.write(QStringLiteral("Logwarden.ini"),
                  "[SIZE VALUE LINECOUNT]\r\n20\r\n[SIZE VALUE BUFFERSIZE]\r\n2\r\n");
    ShownWindow<QtPort> w{path};
    TextView& view = w.window.textView();
    int lines = 300;
    void append(int count) {
        dir.append(QStringLiteral("app.log"), taggedLines(lines + 1, lines + count));
        lines += count;
        w.form.RefreshTail();
    }
    void extract(const QString& keyword) {
        w.global.gblnExtractMode = !keyword.isEmpty();
        w.global.gstrSearchWord = keyword;
        w.form.ShowTailText();
    }
};

QString topLine(const TextView& view) {
    return view.cursorForPosition(QPoint(0, 0)).block().text();
}

// Scrolled to the end, the last line whole in view.
bool lastLineAtBottom(const TextView& view) {
    const QRect last = view.cursorRect(QTextCursor(view.document()->lastBlock()));
    return view.verticalScrollBar()->value() == view.verticalScrollBar()->maximum() &&
           last.top() >= 0 && last.bottom() < view.viewport()->height();
}

} // namespace

class TextViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void followsTheEnd_data();
    void followsTheEnd();
    void readerKeepsThePlace_data();
    void readerKeepsThePlace();
    void showsLinesAndCopiesText_data();
    void showsLinesAndCopiesText();
};

void TextViewTest::followsTheEnd_data() {
    QTest::addColumn<int>("appended");
    QTest::addColumn<int>("textSize");
    QTest::addColumn<int>("shrunk");
    QTest::newRow("at start") << 0 << 0 << 0;
    QTest::newRow("a line came, one left") << 1 << 0 << 0;
    QTest::newRow("more than a screenful came") << 40 << 0 << 0;
    QTest::newRow("a larger text size") << 0 << 20 << 0;
    QTest::newRow("a smaller window") << 0 << 0 << 100;
}

void TextViewTest::followsTheEnd() {
    QFETCH(int, appended);
    QFETCH(int, textSize);
    QFETCH(int, shrunk);
    Watched log;
    if (appended > 0) {
        log.append(appended);
    }
    if (textSize > 0) {
        log.w.form.mnuTextSizeValue_Click(textSize);
    }
    if (shrunk > 0) {
        log.w.window.resize(log.w.window.size() - QSize(0, shrunk));
    }
    QCOMPARE(log.view.document()->lastBlock().text(), taggedLine(log.lines));
    QCOMPARE(log.view.document()->blockCount(), 199);
    QTRY_VERIFY(lastLineAtBottom(log.view));
    QCOMPARE(log.view.horizontalScrollBar()->value(), 0);
}

void TextViewTest::readerKeepsThePlace_data() {
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

void TextViewTest::readerKeepsThePlace() {
    QFETCH(int, appended);
    QFETCH(QString, keyword);
    QFETCH(bool, lastLineSelected);
    QFETCH(bool, hidden);
    QFETCH(bool, pagedUp);
    Watched log;
    TextView& view = log.view;
    view.verticalScrollBar()->setValue(100);
    QCOMPARE(topLine(view), taggedLine(202)); // an even line: extraction keeps it
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
    const QString top = topLine(view);
    const QString selected = view.textCursor().selectedText();

    if (hidden) {
        log.w.form.mnuViewText.click();
    }
    if (appended > 0) {
        log.append(appended);
    }
    if (hidden) {
        log.w.form.mnuViewText.click();
        QVERIFY(view.isVisible());
    }
    if (!keyword.isEmpty()) {
        log.extract(keyword);
        QCOMPARE(topLine(view), top);
        QCOMPARE(view.textCursor().selectedText(), selected);
        log.extract({});
    }
    QCOMPARE(topLine(view), top);
    QCOMPARE(view.textCursor().selectedText(), selected);
    QCOMPARE(view.horizontalScrollBar()->value(), 30);
    QVERIFY(!lastLineAtBottom(view));
}

void TextViewTest::showsLinesAndCopiesText_data() {
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

void TextViewTest::showsLinesAndCopiesText() {
    QFETCH(QByteArray, file);
    QFETCH(int, newLineType);
    QFETCH(QString, shown);
    QFETCH(QString, copied);
    TempWorkDir dir;
    const QString path = dir.write(QStringLiteral("app.log"), file);
    ShownWindow<QtPort> w;
    w.form.mnuOptionBufferSize_Click(8); // 200 KB
    w.form.mnuOptionNewLineType_Click(newLineType);
    w.form.OpenWatchedFile(path);
    TextView& view = w.window.textView();
    QCOMPARE(view.toPlainText(), shown);

    view.setFocus();
    QTextCursor part = view.textCursor();
    part.setPosition(2);
    part.setPosition(4, QTextCursor::KeepAnchor);
    view.setTextCursor(part); // a selection must not narrow what is copied
    QTest::keySequence(&w.window, QKeySequence(QStringLiteral("Ctrl+C")));
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), copied);
}

QTEST_MAIN(TextViewTest)
#include "tst_textview.moc"
