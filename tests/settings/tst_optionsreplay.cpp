// SPDX-License-Identifier: MIT
#include "IniTestSupport.h"
#include "TempFiles.h"

#include <QtTest>
#include <utility>

namespace {

// The checked items of each option group, and the window state, as start-up leaves them.
QList<QList<int>> optionChecks(const frmMain& form) {
    QList<QList<int>> checks;
    for (const ui::MenuArray* group :
         {&form.mnuBGColorVal, &form.mnuTextColorVal, &form.mnuTextSizeValue,
          &form.mnuOptionLineCount, &form.mnuOptionBufferSize, &form.mnuOptionNewLineType}) {
        QList<int>& checked = checks.emplace_back();
        for (const int index : group->indices()) {
            if ((*group)[index].checked()) {
                checked << index;
            }
        }
    }
    checks.append(QList<int>{int(form.window.windowState())});
    return checks;
}

} // namespace

class OptionsReplayTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void storedChoicesAreReplayed();
    void invalidStoredIndexFallsBack_data();
    void invalidStoredIndexFallsBack();
    void firstRunWritesTheFullFile();
};

void OptionsReplayTest::storedChoicesAreReplayed() {
    TempWorkDir dir;
    dir.write(IniName, "[COLOR VALUE BACKGROUND]\r\n3\r\n[COLOR VALUE TEXTFONT]\r\n5\r\n"
                       "[SIZE VALUE TEXTFONT]\r\n15\r\n[SIZE VALUE LINECOUNT]\r\n5\r\n"
                       "[SIZE VALUE BUFFERSIZE]\r\n8\r\n[TYPE VALUE RETURNCODE]\r\n2\r\n"
                       "[VIEW FLAG TIMESTAMP]\r\nFALSE\r\n[VIEW FLAG SEARCHWORD]\r\nTRUE\r\n"
                       "[MODE VALUE WINDOWFORWARD]\r\nTRUE\r\n[MODE VALUE WINDOWSTATE]\r\n2\r\n"
                       "[LIST FILE RECENT]\r\n/logs/server.log\r\n/logs/batch.log\r\n");
    StartedForm w;
    frmMain& form = w.form;
    const int maximized = int(ui::WindowState::Maximized);
    QCOMPARE(optionChecks(form), (QList<QList<int>>{{3}, {5}, {15}, {5}, {8}, {2}, {maximized}}));
    QCOMPARE(form.txtView.backColor(), (ui::Color{192, 255, 255}));
    QCOMPARE(form.txtView.foreColor(), (ui::Color{255, 255, 0}));
    QCOMPARE(form.txtView.fontSize(), 15);
    QVERIFY(!form.mnuViewTimestamp.checked() && form.mnuViewSearchWord.checked());
    QVERIFY(form.mnuViewForward.checked());
    QCOMPARE(w.port.forwardCalls.back(), true);
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
    QTest::addColumn<QByteArray>("entry");
    const std::pair<const char*, const char*> entries[] = {
        {"[SIZE VALUE LINECOUNT]", "7"},    {"[SIZE VALUE LINECOUNT]", "0"},
        {"[SIZE VALUE BUFFERSIZE]", "-1"},  {"[COLOR VALUE BACKGROUND]", "9"},
        {"[COLOR VALUE TEXTFONT]", "7"},    {"[SIZE VALUE TEXTFONT]", "7"},
        {"[SIZE VALUE TEXTFONT]", "32767"}, {"[TYPE VALUE RETURNCODE]", "3"},
        {"[MODE VALUE WINDOWSTATE]", "5"}};
    for (const auto& [key, value] : entries) {
        QTest::addRow("%s %s", key, value) << QByteArray(key) + "\r\n" + value + "\r\n";
    }
}

// The group falls back to its reset item, in the menu and in the field the close saves.
void OptionsReplayTest::invalidStoredIndexFallsBack() {
    QFETCH(QByteArray, entry);
    QList<QList<int>> resetChecks;
    QByteArray resetFile;
    {
        TempWorkDir empty;
        StartedForm w;
        resetChecks = optionChecks(w.form);
        w.form.Form_QueryUnload();
        resetFile = fileBytes(IniName);
    }
    TempWorkDir dir;
    dir.write(IniName, entry);
    StartedForm w;
    QCOMPARE(optionChecks(w.form), resetChecks);
    w.form.Form_QueryUnload();
    QCOMPARE(fileBytes(IniName), resetFile);
}

void OptionsReplayTest::firstRunWritesTheFullFile() {
    TempWorkDir dir;
    const QString batch = dir.write("batch.log", "b\n");
    const QString server = dir.write("server.log", "s\n");
    {
        StartedForm w;
        w.form.OpenWatchedFile(batch);
        w.form.OpenWatchedFile(server);
        w.form.Form_QueryUnload();
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
                                "[TYPE VALUE RETURNCODE]\r\n2\r\n\r\n"
                                "[LIST FILE RECENT]\r\n" +
                                server.toUtf8() + "\r\n" + batch.toUtf8() +
                                "\r\n"
                                "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                                "\r\n";
    QCOMPARE(fileBytes(IniName), expected);
}

QTEST_GUILESS_MAIN(OptionsReplayTest)
#include "tst_optionsreplay.moc"
