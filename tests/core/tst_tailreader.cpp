// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "TailOracle.h"
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/TailRender.h"
#include "platform/SystemText.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>

Q_DECLARE_METATYPE(TailEncoding)

class TailReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheLastLines_data();
    void readsTheLastLines();
    void matchesTheBytewiseScanOnGeneratedFiles();
    void decodesTheTail_data();
    void decodesTheTail();
    void decodesRandomBytesLikeTheSystemDecoder();
    void formatsThePanels();
    void refreshShowsTailAndPanels();
    void unchangedFileTouchesNothing();
    void lineCountChangeRereadsButBufferSizeWaits();
    void emptiedFileClearsViewAndRememberedTail();
    void encodingMenuShowsTheLastReadAgain();
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

QByteArray encoded(const char* encoding, const char* text) {
    QStringEncoder encoder(encoding);
    return encoder.encode(QString::fromUtf8(text));
}

} // namespace

void TailReaderTest::decodesTheTail_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<TailEncoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    const TailEncoding detect = TailEncoding::Auto;
    QTest::newRow("empty") << QByteArray() << false << detect << QString() << "UTF-8";
    QTest::newRow("ends inside a character")
        << QByteArray("line\n\xE8\xAD") << false << detect << "line\n"
        << "UTF-8";
    QTest::newRow("ends inside a Shift_JIS character")
        << encoded("Shift_JIS", "ログ\n") + '\x83' << false << detect << "ログ\n"
        << "Shift_JIS";
    QTest::newRow("EUC-JP that reads as Shift_JIS too")
        << encoded("EUC-JP", "ログを開始します\n") << false << detect << "ログを開始します\n"
        << "EUC-JP";
    QTest::newRow("UTF-8 and Shift_JIS lines, each read as written")
        << "a\xE2\x86\x92"
           "b\n" +
               encoded("Shift_JIS", "警告: 設定を開けません\n") + "c\n\xE2\x86\x92\n"
        << false << detect << "a→b\n警告: 設定を開けません\nc\n→\n"
        << "UTF-8 + Shift_JIS";
    // 漢 8A BF, 字 8E 9A, テ 83 65, ス 83 58: BF cannot lead, 65 cannot lead.
    QTest::newRow("Shift_JIS cut: the byte after one that cannot lead")
        << encoded("Shift_JIS", "漢字テスト\n").sliced(1) << true << detect << "字テスト\n"
        << "Shift_JIS";
    QTest::newRow("Shift_JIS cut among bytes that may lead or trail")
        << encoded("Shift_JIS", "字テスト\n").sliced(1) << true << detect << "スト\n"
        << "Shift_JIS";
    QTest::newRow("EUC-JP cut: up to a byte below 0xA1")
        << encoded("EUC-JP", "ログを開始 1 ファイルを開けません\n").sliced(1) << true << detect
        << " 1 ファイルを開けません\n"
        << "EUC-JP";
    QTest::newRow("whole lines are not cut")
        << encoded("Shift_JIS", "漢字\n") << false << detect << "漢字\n"
        << "Shift_JIS";
    QTest::newRow("UTF-8 chosen for Shift_JIS bytes")
        << encoded("Shift_JIS", "ログ\n") << false << TailEncoding::Utf8 << "\uFFFD\uFFFD\uFFFDO\n"
        << "UTF-8";
    QTest::newRow("Shift_JIS chosen: unreadable bytes stay visible")
        << QByteArray("a\x80\n") << false << TailEncoding::ShiftJis << "a\uFFFD\n"
        << "Shift_JIS";
}

void TailReaderTest::decodesTheTail() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, cut);
    QFETCH(TailEncoding, encoding);
    QFETCH(QString, text);
    QFETCH(QString, name);
    const DecodedTail decoded = decodeTail(bytes, cut, encoding);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.encoding, name);
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
    const DateTime stamp{localDate(2024, 3, 5).seconds + 14 * 3600 + 7 * 60 + 9, 999'999'999};
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
    QVERIFY(w.form.txtView.text().startsWith(QStringLiteral("line 12\r\nline 13")));
    QVERIFY(w.port.messages.empty());

    // Past the years a count of nanoseconds holds, and chosen again: shown as it is now.
    const timespec times[2] = {{0, UTIME_OMIT}, {localDate(2300, 1, 1).seconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    w.form.OpenWatchedFile(path);
    QCOMPARE(w.form.lblLastModified.caption(), QStringLiteral("2300/01/01 00:00:00"));
    // Emptied and dated as a fresh choice starts: chosen again, it shows empty.
    QVERIFY(QFile::resize(path, 0));
    const timespec choiceDate[2] = {{0, UTIME_OMIT}, {localDate(1990, 1, 1).seconds, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), choiceDate, 0), 0);
    w.form.OpenWatchedFile(path);
    QCOMPARE(w.form.txtView.text(), QString());
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
    w.form.mnuOptionEncodingType.click(1);
    QVERIFY(!w.form.txtView.text().contains(QStringLiteral("line")));
}

void TailReaderTest::encodingMenuShowsTheLastReadAgain() {
    LoadedForm w;
    const char* text = "ログを開始します\n警告: 設定ファイルを開けません\n";
    const QString shown = QString::fromUtf8(text).replace(u'\n', QStringLiteral("\r\n")) + "\r\n";
    const QString path = w.dir.write("app.log", encoded("EUC-JP", text));
    w.form.OpenWatchedFile(path);
    w.form.mnuMonitorStart.click();
    QCOMPARE(w.form.txtView.text(), shown);
    const QString size = w.form.lblFileLen.caption();
    QCOMPARE(w.form.lblFileLen.toolTip(),
             size + QStringLiteral("\n文字コード: EUC-JP（自動判定）"));
    w.dir.write("app.log", "not read\n");
    w.form.mnuOptionEncodingType.click(2);
    QCOMPARE(w.form.mnuOptionEncodingType.firstChecked(), 2);
    QCOMPARE(w.form.txtView.text(),
             renderTail(decodeTail(encoded("EUC-JP", text), false, TailEncoding::ShiftJis).text,
                        QStringLiteral("\n"), false, {}));
    QCOMPARE(w.form.lblFileLen.toolTip(), size + QStringLiteral("\n文字コード: Shift_JIS（指定）"));
    w.form.mnuOptionEncodingType.click(0);
    QCOMPARE(w.form.txtView.text(), shown);
    QVERIFY(w.form.timFileCheck.enabled());
}

QTEST_GUILESS_MAIN(TailReaderTest)
#include "tst_tailreader.moc"
