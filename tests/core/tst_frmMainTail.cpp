// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "core/TailDecoder.h"
#include "core/TailRender.h"
#include "platform/TextCodec.h"

namespace {

using namespace logwarden::platform;

QByteArray euc(const char* text) {
    return TextCodec("EUC-JP").encode(QString::fromUtf8(text)).bytes;
}

void setModified(const QString& path, std::int64_t seconds) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) &&
            file.setFileTime(QDateTime::fromSecsSinceEpoch(seconds), QFile::FileModificationTime));
}

} // namespace

class FormTailTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refreshShowsTheTailAndPanels() {
        QCOMPARE(formatFileLen(999) + formatFileLen(1000) + formatFileLen(5368709120),
                 "999 byte 1,000 byte 5,368,709,120 byte ");
        const DateTime stamp{localDate(2024, 3, 5).seconds + 14 * 3600 + 7 * 60 + 9, 999'999'999};
        QCOMPARE(formatDateTime(stamp), QStringLiteral("2024/03/05 14:07:09"));
        OpenedLog w(numberedLines(1, 30));
        const QString path = w.dir.path("app.log");
        // Past the years a count of nanoseconds holds, and chosen again: shown as it is now.
        setModified(path, localDate(2300, 1, 1).seconds);
        w.form.OpenWatchedFile(path);
        QCOMPARE(w.form.lblLastModified.caption(), QStringLiteral("2300/01/01 00:00:00"));
        // Emptied and dated as a fresh choice starts: chosen again, it shows empty.
        QVERIFY(QFile::resize(path, 0));
        setModified(path, localDate(1990, 1, 1).seconds);
        w.form.OpenWatchedFile(path);
        QCOMPARE(w.form.txtView.text(), QString());
        // Unchanged since: nothing is touched.
        const auto revision = w.form.txtView.textRevision();
        w.form.lblFileLen.setCaption(QStringLiteral("sentinel"));
        w.form.RefreshTail();
        QCOMPARE(w.form.txtView.textRevision(), revision);
        QCOMPARE(w.form.lblFileLen.caption(), QStringLiteral("sentinel"));
        QVERIFY(w.port.messages.empty());
    }

    void optionMenus() {
        OpenedLog w(numberedLines(1, 100));
        w.form.mnuOptionBufferSize.click(8);
        QCOMPARE(w.form.watchState().mdblBufferSize, 25.0);
        w.form.mnuOptionLineCount.click(5);
        QCOMPARE(w.form.watchState().mlngLineCount, 50);
        QCOMPARE(w.form.watchState().mdblBufferSize, 200.0);
        QCOMPARE(w.form.watchState().mstrTailText, QString::fromLatin1(numberedLines(52, 100)));
        // A line end no item names falls back to the platform's own.
#ifdef Q_OS_WIN
        constexpr int own = 1; // CR LF
#else
        constexpr int own = 2;
#endif
        for (const auto& [index, stored] : {std::pair{1, 1}, {2, 2}, {0, own}, {3, own}}) {
            w.form.mnuOptionNewLineType_Click(index);
            QCOMPARE(w.global.gstrReturnCode, stored == 1 ? "\r\n" : "\n");
            const ui::MenuArray& menu = w.form.mnuOptionNewLineType;
            QCOMPARE((QList{int(w.global.gintTypeReturnCode), *menu.firstChecked(),
                            menu[2].checked() ? 2 : 1}),
                     QList<int>(3, stored));
        }
    }

    void encodingMenuShowsTheLastReadAgain() {
        const char* text = "ログを開始します\n警告: 設定ファイルを開けません\n";
        const QString shown =
            QString::fromUtf8(text).replace(u'\n', QStringLiteral("\r\n")) + "\r\n";
        OpenedLog w(euc(text));
        w.form.mnuMonitorStart.click();
        QCOMPARE(w.form.txtView.text(), shown);
        const QString size = w.form.lblFileLen.caption() + "\n文字コード: ";
        QCOMPARE(w.form.lblFileLen.toolTip(), size + "EUC-JP（自動判定）");
        w.dir.write("app.log", "not read\n");
        // Each item forces its decoding; the first detects again.
        for (const auto& [index, name] : {std::pair{2, "Shift_JIS（指定）"},
                                          {1, "UTF-8（指定）"},
                                          {3, "EUC-JP（指定）"},
                                          {0, "EUC-JP（自動判定）"}}) {
            w.form.mnuOptionEncodingType.click(index);
            QCOMPARE(w.form.mnuOptionEncodingType.firstChecked(), index);
            const auto encoding = TailEncoding(index);
            QCOMPARE(w.form.txtView.text(),
                     renderTail(decodeTail(euc(text), false, encoding).text, "\n"));
            QCOMPARE(w.form.lblFileLen.toolTip(), size + name);
        }
        QCOMPARE(w.form.txtView.text(), shown);
        QVERIFY(w.form.timFileCheck.enabled());
        // Emptied while in the background: nothing flashes, and a re-render must not bring the
        // vanished lines back.
        w.port.active = false;
        w.dir.write("app.log", {});
        w.form.mnuOptionLineCount.click(1); // forces the re-read
        QCOMPARE(w.form.txtView.text() + w.form.lblFileLen.caption(), QStringLiteral("0 byte "));
        QCOMPARE(w.form.watchState().mintFlashState, short(0));
        w.form.mnuOptionNewLineType.click(1);
        w.form.mnuOptionEncodingType.click(2);
        QCOMPARE(w.form.txtView.text().trimmed(), QString());
    }
};

QTEST_GUILESS_MAIN(FormTailTest)
#include "tst_frmMainTail.moc"
