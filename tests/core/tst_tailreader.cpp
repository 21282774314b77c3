// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "TailOracle.h"
#include "core/TailReader.h"
#include "platform/SystemText.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QtTest>

class TailReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheLastLines_data();
    void readsTheLastLines();
    void matchesTheBytewiseScanOnGeneratedFiles();
    void decodesLikeTheSystemDecoder_data();
    void decodesLikeTheSystemDecoder();
    void decodesRandomBytesLikeTheSystemDecoder();
    void formatsThePanels();
    void refreshShowsTailAndPanels();
    void unchangedFileTouchesNothing();
    void lineCountChangeRereadsButBufferSizeWaits();
    void emptiedFileClearsViewAndRememberedTail();
};

void TailReaderTest::readsTheLastLines_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("bufferKiB");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("final LF counts as one of the N")
        << numberedLines(1, 30) << 10 << 25 << numberedLines(22, 30);
    QTest::newRow("no final LF: unfinished line and N-1 before")
        << numberedLines(1, 30, false) << 10 << 25 << numberedLines(21, 30, false);
    QTest::newRow("fewer lines than N: whole file")
        << numberedLines(1, 5) << 10 << 25 << numberedLines(1, 5);
    const QByteArray longLine(30000, 'x');
    QTest::newRow("no LF in the window: 25 KiB plus one byte")
        << longLine << 10 << 25 << longLine.right(25 * 1024 + 1);
    QTest::newRow("empty window tail") << QByteArray("\n\n\n") << 10 << 25 << QByteArray("\n\n\n");
}

void TailReaderTest::readsTheLastLines() {
    QFETCH(QByteArray, file);
    QFETCH(int, lineCount);
    QFETCH(int, bufferKiB);
    QFETCH(QByteArray, expected);
    TempWorkDir dir;
    const QString path = dir.write("tail.log", file);
    QCOMPARE(readTail(path, file.size(), lineCount, bufferKiB).shown().toByteArray(), expected);
}

void TailReaderTest::matchesTheBytewiseScanOnGeneratedFiles() {
    TempWorkDir dir;
    QRandomGenerator random(20261206);
    for (int round = 0; round < 300; ++round) {
        const int size = static_cast<int>(random.bounded(1, 60000));
        const int lfPerMille = static_cast<int>(random.bounded(0, 200));
        QByteArray file(size, Qt::Uninitialized);
        for (char& byte : file) {
            byte = random.bounded(1000) < lfPerMille ? '\n' : char('a' + random.bounded(26));
        }
        const int lineCount = std::array{10, 20, 30, 40, 50, 100, 200}[random.bounded(7)];
        const int bufferKiB = std::array{10, 25, 50, 75, 100, 200}[random.bounded(6)];
        const QString path = dir.write("gen.log", file);
        QCOMPARE(readTail(path, size, lineCount, bufferKiB).shown().toByteArray(),
                 bytewiseTail(file, size, lineCount, bufferKiB));
    }
}

namespace {

QString systemDecoded(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::System);
    return decoder.decode(bytes);
}

} // namespace

void TailReaderTest::decodesLikeTheSystemDecoder_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("whole lines") << QByteArray("INFO ok\n\xE8\xAD\xA6\xE5\x91\x8A\n");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFstart\n");
    QTest::newRow("mark without a line end") << QByteArray("\xEF\xBB\xBFstart");
    QTest::newRow("starts inside a character") << QByteArray("\xAD\xA6 rest\n");
    QTest::newRow("ends inside a character") << QByteArray("line\n\xE8\xAD");
    QTest::newRow("character cut by a line end") << QByteArray("a\xE8\xAD\nb\n");
    QTest::newRow("invalid bytes") << QByteArray("\xFF\xC0\x80\xED\xA0\x80\n");
}

void TailReaderTest::decodesLikeTheSystemDecoder() {
    QFETCH(QByteArray, bytes);
    QCOMPARE(decodeSystemText(bytes), systemDecoded(bytes));
}

void TailReaderTest::decodesRandomBytesLikeTheSystemDecoder() {
    QRandomGenerator random(20261207);
    const QByteArray pieces[] = {"\n", "a", "\xE3\x81\x82", "\xEF\xBB\xBF", "\xF0\x9F\x98\x80"};
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        for (int n = static_cast<int>(random.bounded(12)); n > 0; --n) {
            bytes += random.bounded(4) == 0 ? QByteArray(1, char(random.bounded(256)))
                                            : pieces[random.bounded(5)];
        }
        const int cut = static_cast<int>(random.bounded(int(bytes.size()) + 1));
        bytes = bytes.sliced(cut / 2, bytes.size() - cut);
        QCOMPARE(decodeSystemText(bytes), systemDecoded(bytes));
    }
}

void TailReaderTest::formatsThePanels() {
    QCOMPARE(formatFileLen(0), QStringLiteral("0 byte "));
    QCOMPARE(formatFileLen(999), QStringLiteral("999 byte "));
    QCOMPARE(formatFileLen(1000), QStringLiteral("1,000 byte "));
    QCOMPARE(formatFileLen(1234567), QStringLiteral("1,234,567 byte "));
    QCOMPARE(formatFileLen(5368709120), QStringLiteral("5,368,709,120 byte "));
    const DateTime stamp = localDate(2024, 3, 5) + std::chrono::hours(14) +
                           std::chrono::minutes(7) + std::chrono::milliseconds(9999);
    QCOMPARE(formatDateTime(stamp), QStringLiteral("2024/03/05 14:07:09"));
}

void TailReaderTest::refreshShowsTailAndPanels() {
    LoadedForm w;
    const QString path = w.dir.write("app.log", numberedLines(1, 30));
    w.form.OpenWatchedFile(path);
    QCOMPARE(w.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(12, 30)));
    QCOMPARE(w.form.lblFileLen.caption(), formatFileLen(QFileInfo(path).size()));
    QCOMPARE(w.form.lblLastModified.caption(),
             QFileInfo(path).lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    QVERIFY(w.form.txtView.text().startsWith(QStringLiteral("line 12\nline 13")));
    QVERIFY(w.port.messages.empty());
}

void TailReaderTest::unchangedFileTouchesNothing() {
    LoadedForm w;
    const QString path = w.dir.write("app.log", numberedLines(1, 3));
    w.form.OpenWatchedFile(path);
    const auto revision = w.form.txtView.textRevision();
    w.form.lblFileLen.setCaption(QStringLiteral("sentinel"));
    w.form.RefreshTail();
    QCOMPARE(w.form.txtView.textRevision(), revision);
    QCOMPARE(w.form.lblFileLen.caption(), QStringLiteral("sentinel"));
}

void TailReaderTest::lineCountChangeRereadsButBufferSizeWaits() {
    LoadedForm w;
    const QString path = w.dir.write("app.log", numberedLines(1, 100));
    w.form.OpenWatchedFile(path);
    w.form.mnuOptionBufferSize.click(8);
    QCOMPARE(w.form.watchState().mdblBufferSize, 25.0);
    w.form.mnuOptionLineCount.click(5);
    QCOMPARE(w.form.watchState().mlngLineCount, 50);
    QCOMPARE(w.form.watchState().mdblBufferSize, 200.0);
    QCOMPARE(w.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(52, 100)));
}

void TailReaderTest::emptiedFileClearsViewAndRememberedTail() {
    LoadedForm w;
    const QString path = w.dir.write("app.log", numberedLines(1, 3));
    w.form.OpenWatchedFile(path);
    w.port.active = false;
    w.dir.write("app.log", {});
    w.form.mnuOptionLineCount.click(1); // forces the re-read
    QCOMPARE(w.form.txtView.text(), QString());
    QCOMPARE(w.form.lblFileLen.caption(), QStringLiteral("0 byte "));
    QCOMPARE(w.form.watchState().mintFlashState, short(0));
    // A re-render must not bring the vanished lines back.
    w.form.mnuOptionNewLineType.click(2);
    QVERIFY(!w.form.txtView.text().contains(QStringLiteral("line")));
}

QTEST_GUILESS_MAIN(TailReaderTest)
#include "tst_tailreader.moc"
