#include "FakePort.h"
#include "IniTestSupport.h"
#include "TempFiles.h"
#include "core/frmMain.h"

#include <QtTest>
#include <memory>

namespace {

const QString IniName = QString::fromLatin1(modIniFile::FileName);

// One process: its settings record and its window, started.
struct Run {
    modGlobal global;
    FakePort port;
    frmMain form{global, port, {}};
    Run() { form.Form_Load(); }
};

int checkedCount(const ui::MenuArray& group) {
    int count = 0;
    for (const int index : group.indices()) {
        count += group[index].checked() ? 1 : 0;
    }
    return count;
}

QByteArray fileBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The value line written under `key`.
QByteArray savedValue(const QByteArray& key) {
    const QList<QByteArray> lines = fileBytes(IniName).split('\n');
    const qsizetype at = lines.indexOf(key + '\r');
    return at < 0 || at + 1 >= lines.size() ? QByteArray("(missing)") : lines.at(at + 1).chopped(1);
}

} // namespace

class OptionsReplayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedChoicesAreReplayed();
    void invalidStoredIndexFallsBack_data();
    void invalidStoredIndexFallsBack();
    void firstRunWritesTheFullFile();
    void choicesSurviveARestart();
};

void OptionsReplayTest::storedChoicesAreReplayed() {
    TempWorkDir dir;
    dir.write(IniName, "[COLOR VALUE BACKGROUND]\r\n3\r\n[COLOR VALUE TEXTFONT]\r\n5\r\n"
                       "[SIZE VALUE TEXTFONT]\r\n15\r\n[SIZE VALUE LINECOUNT]\r\n5\r\n"
                       "[SIZE VALUE BUFFERSIZE]\r\n8\r\n[TYPE VALUE RETURNCODE]\r\n2\r\n"
                       "[VIEW FLAG TIMESTAMP]\r\nFALSE\r\n[VIEW FLAG SEARCHWORD]\r\nTRUE\r\n"
                       "[MODE VALUE WINDOWFORWARD]\r\nTRUE\r\n[MODE VALUE WINDOWSTATE]\r\n2\r\n"
                       "[LIST FILE RECENT]\r\n/logs/server.log\r\n/logs/batch.log\r\n");
    Run run;
    frmMain& form = run.form;
    QCOMPARE(form.mnuBGColorVal.firstChecked(), std::optional(3));
    QCOMPARE(form.mnuTextColorVal.firstChecked(), std::optional(5));
    QCOMPARE(form.mnuTextSizeValue.firstChecked(), std::optional(15));
    QCOMPARE(form.mnuOptionLineCount.firstChecked(), std::optional(5));
    QCOMPARE(form.mnuOptionBufferSize.firstChecked(), std::optional(8));
    QCOMPARE(form.mnuOptionNewLineType.firstChecked(), std::optional(2));
    for (const ui::MenuArray* group :
         {&form.mnuBGColorVal, &form.mnuTextColorVal, &form.mnuTextSizeValue,
          &form.mnuOptionLineCount, &form.mnuOptionBufferSize}) {
        QCOMPARE(checkedCount(*group), 1);
    }
    QCOMPARE(form.txtView.backColor(), (ui::Color{192, 255, 255}));
    QCOMPARE(form.txtView.foreColor(), (ui::Color{255, 255, 0}));
    QCOMPARE(form.txtView.fontSize(), 15);
    QVERIFY(!form.mnuViewTimestamp.checked() && form.mnuViewSearchWord.checked());
    QVERIFY(form.mnuViewForward.checked());
    QCOMPARE(run.port.forwardCalls.back(), true);
    QCOMPARE(form.window.windowState(), ui::WindowState::Maximized);
    QCOMPARE(form.mnuRecentList[1].caption(), QStringLiteral("&1. /logs/server.log"));
    QVERIFY(form.mnuRecentList[2].visible() && !form.mnuRecentList[3].visible());
    QCOMPARE(form.GetBufferSize(), 200);

    // The next read counts 50 line feeds, the final one included, and splits at LF.
    const QString log = dir.write("app.log", numberedLines(1, 100));
    form.OpenWatchedFile(log);
    QCOMPARE(form.watchState().mlngLineCount, 50);
    QVERIFY(form.txtView.text().startsWith(QStringLiteral("line 52\r\nline 53\r\n")));
}

void OptionsReplayTest::invalidStoredIndexFallsBack_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("used");
    QTest::newRow("line count 7") << QByteArray("[SIZE VALUE LINECOUNT]") << QByteArray("7") << 2;
    QTest::newRow("line count 0") << QByteArray("[SIZE VALUE LINECOUNT]") << QByteArray("0") << 2;
    QTest::newRow("buffer size -1")
        << QByteArray("[SIZE VALUE BUFFERSIZE]") << QByteArray("-1") << 1;
    QTest::newRow("background 9") << QByteArray("[COLOR VALUE BACKGROUND]") << QByteArray("9") << 1;
    QTest::newRow("text colour 7") << QByteArray("[COLOR VALUE TEXTFONT]") << QByteArray("7") << 1;
    QTest::newRow("text size 7") << QByteArray("[SIZE VALUE TEXTFONT]") << QByteArray("7") << 9;
    QTest::newRow("text size 32767")
        << QByteArray("[SIZE VALUE TEXTFONT]") << QByteArray("32767") << 9;
    QTest::newRow("newline type 3")
        << QByteArray("[TYPE VALUE RETURNCODE]") << QByteArray("3") << 1;
    QTest::newRow("window state 5")
        << QByteArray("[MODE VALUE WINDOWSTATE]") << QByteArray("5") << 0;
}

void OptionsReplayTest::invalidStoredIndexFallsBack() {
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, stored);
    QFETCH(int, used);
    TempWorkDir dir;
    dir.write(IniName, key + "\r\n" + stored + "\r\n");
    auto run = std::make_unique<Run>();
    frmMain& form = run->form;
    const std::map<QByteArray, std::pair<std::optional<int>, short>> state{
        {"[SIZE VALUE LINECOUNT]",
         {form.mnuOptionLineCount.firstChecked(), run->global.gintSizeLineCount}},
        {"[SIZE VALUE BUFFERSIZE]",
         {form.mnuOptionBufferSize.firstChecked(), run->global.gintSizeBufferSize}},
        {"[COLOR VALUE BACKGROUND]",
         {form.mnuBGColorVal.firstChecked(), run->global.gintColorBackground}},
        {"[COLOR VALUE TEXTFONT]",
         {form.mnuTextColorVal.firstChecked(), run->global.gintColorTextFont}},
        {"[SIZE VALUE TEXTFONT]",
         {form.mnuTextSizeValue.firstChecked(), run->global.gintSizeTextFont}},
        {"[TYPE VALUE RETURNCODE]",
         {form.mnuOptionNewLineType.firstChecked(), run->global.gintTypeReturnCode}},
        {"[MODE VALUE WINDOWSTATE]",
         {int(form.window.windowState()), run->global.gintModeWindowState}},
    };
    const auto [checked, field] = state.at(key);
    QCOMPARE(checked, std::optional(used));
    QCOMPARE(int(field), used);
    form.Form_QueryUnload();
    QCOMPARE(savedValue(key), QByteArray::number(used));
}

void OptionsReplayTest::firstRunWritesTheFullFile() {
    TempWorkDir dir;
    const QString batch = dir.write("batch.log", "b\n");
    const QString server = dir.write("server.log", "s\n");
    {
        Run run;
        run.form.OpenWatchedFile(batch);
        run.form.OpenWatchedFile(server);
        run.form.Form_QueryUnload();
    }
    const QByteArray expected = "[MODE VALUE WINDOWSTATE]\r\n0\r\n\r\n"
                                "[MODE VALUE WINDOWFORWARD]\r\nFALSE\r\n\r\n"
                                "[VIEW FLAG TIMESTAMP]\r\nTRUE\r\n\r\n"
                                "[VIEW FLAG FILESIZE]\r\nTRUE\r\n\r\n"
                                "[VIEW FLAG FILEPATH]\r\nTRUE\r\n\r\n"
                                "[VIEW FLAG SEARCHWORD]\r\nFALSE\r\n\r\n"
                                "[VIEW FLAG TEXT]\r\nTRUE\r\n\r\n"
                                "[COLOR VALUE BACKGROUND]\r\n1\r\n\r\n"
                                "[COLOR VALUE TEXTFONT]\r\n1\r\n\r\n"
                                "[SIZE VALUE TEXTFONT]\r\n9\r\n\r\n"
                                "[SIZE VALUE LINECOUNT]\r\n2\r\n\r\n"
                                "[SIZE VALUE BUFFERSIZE]\r\n1\r\n\r\n"
                                "[TYPE VALUE RETURNCODE]\r\n1\r\n\r\n"
                                "[LIST FILE RECENT]\r\n" +
                                server.toUtf8() + "\r\n" + batch.toUtf8() +
                                "\r\n"
                                "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                                "\r\n";
    QCOMPARE(fileBytes(IniName), expected);
}

void OptionsReplayTest::choicesSurviveARestart() {
    TempWorkDir dir;
    {
        Run run;
        run.form.mnuTextSizeValue.click(15);
        run.form.mnuBGColorVal.click(2);
        run.form.mnuTextColorVal.click(2);
        run.form.mnuOptionLineCount.click(10);
        run.form.mnuOptionBufferSize.click(4);
        run.form.mnuOptionNewLineType.click(2);
        run.form.mnuViewText.click();
        run.form.Form_QueryUnload();
    }
    Run next;
    frmMain& form = next.form;
    QCOMPARE(form.mnuTextSizeValue.firstChecked(), std::optional(15));
    QVERIFY(!form.mnuTextSizeValue[9].checked());
    QCOMPARE(form.txtView.fontSize(), 15);
    QCOMPARE(form.txtView.backColor(), (ui::Color{0, 0, 0}));
    QCOMPARE(form.txtView.foreColor(), (ui::Color{255, 255, 255}));
    QCOMPARE(form.GetLineCount(), 100);
    QCOMPARE(form.GetBufferSize(), 100);
    QCOMPARE(next.global.gstrReturnCode, QStringLiteral("\n"));
    QVERIFY(!form.mnuViewText.checked());
    QVERIFY(!form.txtView.visible());
}

QTEST_GUILESS_MAIN(OptionsReplayTest)
#include "tst_optionsreplay.moc"
