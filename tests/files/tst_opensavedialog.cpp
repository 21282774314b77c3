// SPDX-License-Identifier: MIT
#include "FakePort.h"
#include "TempFiles.h"
#include "files/OpenSaveDialog.h"
#include "files/ToolkitDialog.h"

namespace {

using namespace logwarden;

} // namespace

class OpenSaveDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each show method on a new instance, where nothing but the fixed members is set; then the
    // options of one instance, which persist; then the record as the toolkit's dialog is asked
    // for it.
    void dialogRequests() {
        FakePort port;
        QStringList shown;
        for (auto show :
             {&files::clsOpenSaveDialog::ShowOpen, &files::clsOpenSaveDialog::ShowPreviewOpen,
              &files::clsOpenSaveDialog::ShowSave, &files::clsOpenSaveDialog::ShowPreviewSave}) {
            (files::clsOpenSaveDialog(port).*show)(0x77);
            const platform::FileDialogRequest& r = port.dialogs.back();
            shown << QString::number(r.save) + r.title;
            QVERIFY(r.filters.isEmpty() && r.initialFolder.isEmpty() && r.defaultSuffix.isEmpty());
            QVERIFY(!r.multiple && !r.fileMustExist && !r.pathMustExist && !r.createPrompt &&
                    !r.overwritePrompt && !r.noReadOnly);
        }
        QCOMPARE(shown.join(u' '),
                 "0ファイルを開く 0ファイルを開く 1ファイルを保存する 1ファイルを保存する");
        port.dialogs.clear();
        files::clsOpenSaveDialog dialog(port);
        dialog.Filter(QStringLiteral("ログ") + QChar(u'\0') + QStringLiteral("*.log"));
        dialog.InitDir(QStringLiteral("/no/such/folder")); // passed on unchecked
        dialog.DefaultExt(QStringLiteral("log"));
        for (void (files::clsOpenSaveDialog::*option)(bool) :
             {&files::clsOpenSaveDialog::AllowMultiSelect, &files::clsOpenSaveDialog::CreatePrompt,
              &files::clsOpenSaveDialog::OverWritePrompt,
              &files::clsOpenSaveDialog::NoReadOnlyReturn,
              &files::clsOpenSaveDialog::FileMustExist}) {
            (dialog.*option)(true);
        }
        dialog.FileMustExist(false);
        dialog.ShowOpen(1);
        dialog.InitDir({});
        dialog.ShowSave(1);
        const platform::FileDialogRequest& open = port.dialogs[0];
        QVERIFY(open.filters ==
                (QList<platform::FileDialogRequest::NameFilter>{{"ログ", {"*.log"}}}));
        QCOMPARE(open.initialFolder + '|' + open.defaultSuffix, "/no/such/folder|log");
        QVERIFY(open.multiple && open.createPrompt && open.overwritePrompt && open.noReadOnly &&
                !open.fileMustExist && !open.pathMustExist);
        QVERIFY(port.dialogs[1].initialFolder.isEmpty() && !port.dialogs[1].multiple);
        QVERIFY(port.dialogs[1].filters == open.filters);
        // Descriptions without patterns are left out, an empty one ends the list, and "*.*" is
        // every file.
        files::OpenFileName record;
        record.lpstrFilter = QByteArrayLiteral("Logs\0*.log; *.txt\0No\0;\0All\0*.*\0\0C\0*.c\0\0");
        record.Flags = files::OFN_FILEMUSTEXIST | files::OFN_PATHMUSTEXIST;
        const platform::FileDialogRequest request = files::dialogRequest(record, false);
        QVERIFY(request.filters == (QList<platform::FileDialogRequest::NameFilter>{
                                       {"Logs", {"*.log", "*.txt"}}, {"All", {"*"}}}));
        QVERIFY(request.fileMustExist && request.pathMustExist && !request.multiple);
    }

    // A choice that does not fit the 256-byte buffer is not taken, nor does an earlier one
    // survive: 6 + 252 = 258 bytes in UTF-8, though only 90 characters. Unless told not to, a
    // choice makes its folder the current one. Several files are listed after their folder, and
    // FilePath reads the first string.
    void dialogChoices() {
        TempWorkDir dir;
        QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("logs")));
        const QStringList both{dir.path("logs/ログ 1.log"), dir.path("logs/b.log")};
        const QString longest = "/logs/" + QString(249, u'a');
        FakePort port;
        files::clsOpenSaveDialog dialog(port);
        for (const auto& [chosen, noChangeDir, taken, current] :
             std::initializer_list<std::tuple<QStringList, bool, QString, QString>>{
                 {{both[0]}, true, both[0], ""},
                 {{}, false, "", ""},
                 {{both[0]}, false, both[0], "logs"},
                 {{longest}, true, longest, ""},
                 {{longest + 'a'}, true, "", ""},
                 {{longest}, true, longest, ""},
                 {{"/logs/" + QString(84, u'ロ')}, true, "", ""}}) {
            QDir::setCurrent(dir.path({}));
            port.dialogAnswers = {chosen};
            dialog.NoChangeDir(noChangeDir);
            dialog.ShowOpen(1);
            QCOMPARE(dialog.FilePath() + '|' + dialog.FileName(),
                     taken + '|' + QFileInfo(taken).fileName());
            QCOMPARE(QDir::currentPath(), dir.path(current));
        }
        dialog.AllowMultiSelect(true);
        port.dialogAnswers = {both};
        dialog.ShowOpen(1);
        QCOMPARE(dialog.FilePath() + dialog.FileName(), dir.path("logs"));
        files::OpenFileName record;
        record.lpstrFile = QByteArray(256, '\0');
        record.nMaxFile = 256;
        record.Flags = files::OFN_NOCHANGEDIR;
        QVERIFY(files::completeChoice(record, both));
        const QByteArray listed =
            QFile::encodeName(dir.path("logs")) + QByteArrayLiteral("\0ログ 1.log\0b.log\0\0");
        QCOMPARE(record.lpstrFile.left(listed.size()), listed);
    }
};

QTEST_GUILESS_MAIN(OpenSaveDialogTest)
#include "tst_opensavedialog.moc"
