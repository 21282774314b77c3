// SPDX-License-Identifier: MIT
#include "LoadedForm.h"
#include "core/CommandLine.h"

namespace {} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A quote is a legal character of a name: only a pair around the whole text quotes. The
    // options answer only when no file of their name is in the current folder.
    void commandLine() {
        for (const QString& text :
             QStringList{"\"/a b.log\">/a b.log", "\"/x>\"/x", "\"/x\"y\">/x\"y", "\">\""}) {
            QCOMPARE(::commandLinePath(text.section(u'>', 0, 0)), text.section(u'>', 1));
        }
        TempWorkDir dir;
        QVERIFY(::commandLineReply("--help").startsWith("使い方: logwarden [ファイル]\n"));
        QVERIFY(::commandLineReply("--help x").isEmpty());
        QCOMPARE(::commandLineReply("--version"), QStringLiteral("Logwarden 1.1.0\n"));
        dir.write("--version", "x\n");
        QVERIFY(::commandLineReply("--version").isEmpty());
    }

    // The whole text is the one path, blanks and all; a path that names no
    // file opens nothing, silently.
    void commandLineOpensAnExistingFile() {
        for (const bool opens : {true, false}) {
            TempWorkDir dir;
            const QString path = dir.writeNamed("caf\xe9 ログ.log", numberedLines(1, 3));
            StartedForm w(opens ? path : path + 'x');
            const QString shown = opens ? path : QString();
            QCOMPARE((QStringList{w.form.watchState().mstrFilePath, w.form.lblFilePath.caption(),
                                  w.global.gstrRecentFiles[0]}),
                     QStringList(3, shown));
            QCOMPARE(w.form.txtView.text().contains(QStringLiteral("line 3")), opens);
            QCOMPARE(w.form.mnuMonitorStart.enabled(), opens);
            QVERIFY(!w.form.timFileCheck.enabled() && w.port.messages.empty());
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
