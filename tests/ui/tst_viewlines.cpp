// SPDX-License-Identifier: MIT
#include "ui/ViewLines.h"

#include <QtTest>

using ui::LineChange;

namespace {

QList<QStringView> views(const QStringList& lines) {
    return {lines.begin(), lines.end()};
}

QStringList words(const char* spaced) {
    return QString::fromUtf8(spaced).split(u' ', Qt::SkipEmptyParts);
}

const QString acute(1, QChar(0x0301));

} // namespace

class ViewLinesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void splitLines_data();
    void splitLines();
    void displayLine_data();
    void displayLine();
    void lineChange_data();
    void lineChange();
    void findLines_data();
    void findLines();
};

void ViewLinesTest::splitLines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF ends lines") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("the empty piece after the file's last line end") << "a\r\nb\r\n\r\n"
                                                                    << QStringList{"a", "b"};
    QTest::newRow("a CR LF log read as LF is single-spaced") << "a\r\r\nb\r\r\n\r\n"
                                                             << QStringList{"a", "b"};
    QTest::newRow("a blank last line of the file stays") << "a\r\n\r\n\r\n" << QStringList{"a", ""};
    QTest::newRow("a CR inside a line stays") << "a\rb\r\n" << QStringList{"a\rb"};
    QTest::newRow("two CRs before the end: one shows") << "a\r\r\r\n" << QStringList{"a\r"};
    QTest::newRow("an LF inside a line ends it") << "a\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("no text, no lines") << "" << QStringList{};
    QTest::newRow("a line not ended yet") << "a\r\nb" << QStringList{"a", "b"};
}

void ViewLinesTest::splitLines() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(ui::splitLines(text), views(lines));
}

void ViewLinesTest::displayLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "2024/03/05 取込 ok"
                           << "2024/03/05 取込 ok";
    QTest::newRow("a CR shows as its symbol") << "a\rb"
                                              << "a\u240Db";
    QTest::newRow("separators would break the line") << "a\u2028b\u2029c"
                                                     << "a\uFFFDb\uFFFDc";
    QTest::newRow("a few marks stay") << "e" + acute.repeated(3) << "e" + acute.repeated(3);
    QTest::newRow("100,000 marks on one character")
        << "a" + acute.repeated(100000) + "b"
        << "a" + acute.repeated(30) + "…（99970 文字省略）b";
    const QString musical = QString::fromUtf8("\U0001D167"); // a combining mark beyond 16 bits
    QTest::newRow("marks beyond 16 bits")
        << "a" + musical.repeated(40) << "a" + musical.repeated(30) + "…（10 文字省略）";
    QTest::newRow("a 200 KB line")
        << QString(200000, u'x') << QString(3000, u'x') + "…（197000 文字省略）";
    QTest::newRow("a cut keeps a character whole")
        << QString(2999, u'x') + "😀😀" << QString(2999, u'x') + "😀…（1 文字省略）";
}

void ViewLinesTest::displayLine() {
    QFETCH(QString, line);
    QFETCH(QString, shown);
    QCOMPARE(ui::displayLine(line), shown);
}

void ViewLinesTest::lineChange_data() {
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("next");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<int>("kept");
    QTest::newRow("lines came") << words("a b c") << words("a b c d") << 0 << 3;
    QTest::newRow("lines left at the top") << words("a b c") << words("b c") << 1 << 2;
    QTest::newRow("both") << words("a b c") << words("c d e") << 2 << 1;
    QTest::newRow("the same") << words("a b") << words("a b") << 0 << 2;
    QTest::newRow("another file") << words("a b") << words("c d") << 2 << 0;
    QTest::newRow("from nothing") << words("") << words("a") << 0 << 0;
    QTest::newRow("to nothing") << words("a b") << words("") << 2 << 0;
    QTest::newRow("extraction on") << words("a1 e1 a2 e2 a3") << words("e1 e2") << 5 << 0;
    QTest::newRow("extraction off") << words("e1 e2") << words("a1 e1 a2 e2") << 2 << 0;
    QTest::newRow("alike lines: the longest overlap")
        << words("x x y x x") << words("x x y x x x") << 0 << 5;
    QTest::newRow("alike lines: a shorter overlap") << words("x y x x") << words("x x y") << 2 << 2;
}

void ViewLinesTest::lineChange() {
    QFETCH(QStringList, shown);
    QFETCH(QStringList, next);
    QFETCH(int, dropped);
    QFETCH(int, kept);
    QCOMPARE(ui::lineChange(views(shown), views(next)), (LineChange{dropped, kept}));
}

void ViewLinesTest::findLines_data() {
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("next");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("found"); // -1: none
    QTest::newRow("stayed") << words("a b c d") << words("c d e") << 3 << 1 << 1;
    QTest::newRow("left at the top") << words("a b c") << words("c d") << 0 << 1 << -1;
    QTest::newRow("found again after extraction")
        << words("a1 e1 a2 e2") << words("e1 e2") << 3 << 1 << 1;
    QTest::newRow("the same occurrence of alike lines")
        << words("e a e b e") << words("e e e") << 2 << 1 << 1;
    QTest::newRow("gone") << words("a b") << words("c d") << 0 << 1 << -1;
    QTest::newRow("lines together") << words("a b c d") << words("b c") << 1 << 2 << 0;
    QTest::newRow("lines no longer together") << words("a b c d") << words("b x c") << 1 << 2 << -1;
}

void ViewLinesTest::findLines() {
    QFETCH(QStringList, shown);
    QFETCH(QStringList, next);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(int, found);
    const QList<QStringView> from = views(shown);
    const QList<QStringView> to = views(next);
    const std::optional<qsizetype> at =
        ui::findLines(from, to, ui::lineChange(from, to), first, count);
    QCOMPARE(at.value_or(-1), qsizetype(found));
}

QTEST_APPLESS_MAIN(ViewLinesTest)
#include "tst_viewlines.moc"
