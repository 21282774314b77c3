// SPDX-License-Identifier: MIT
#include "FakePort.h"
#include "TempFiles.h"
#include "files/OpenSaveDialog.h"
#ifdef Q_OS_WIN
// windows.h comes first
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
// clang-format on
// The record's own names.
#undef GetOpenFileName
#undef OFN_ENABLEHOOK
#undef OFN_EXPLORER
#undef OFN_NOCHANGEDIR
#else
#include "files/ToolkitDialog.h"
#endif

namespace {

using namespace logwarden;

#ifdef Q_OS_WIN
// The record's hook: once the dialog is up, types the name that lCustData points to into it and
// presses OK, or cancels when there is none.
UINT_PTR CALLBACK chooseName(HWND child, UINT message, WPARAM /*w*/, LPARAM l) {
    static const wchar_t* name = nullptr;
    if (message == WM_INITDIALOG) {
        name = reinterpret_cast<const wchar_t*>(reinterpret_cast<OPENFILENAMEW*>(l)->lCustData);
    } else if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == CDN_INITDONE) {
        HWND dialog = ::GetParent(child);
        for (const int box : {cmb13, edt1}) {
            ::SendMessageW(dialog, CDM_SETCONTROLTEXT, box, reinterpret_cast<LPARAM>(name));
        }
        ::PostMessageW(dialog, WM_COMMAND, *name != 0 ? IDOK : IDCANCEL, 0);
    }
    return 0;
}
#endif

} // namespace

class OpenSaveDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each show method on a new instance, where nothing but the fixed members is set; then the
    // options of one instance, which persist; then the record as the toolkit's dialog is asked
    // for it.
    void dialogRequests() {
#ifdef Q_OS_WIN
        QSKIP("the system's own dialog is shown with the record, not the toolkit's");
#else
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
#endif
    }

    // A choice that does not fit the 256-byte buffer is not taken, nor does an earlier one
    // survive: 6 + 252 = 258 bytes in UTF-8, though only 90 characters. Unless told not to, a
    // choice makes its folder the current one. Several files are listed after their folder, and
    // FilePath reads the first string.
    void dialogChoices() {
#ifdef Q_OS_WIN
        QSKIP("the system's own dialog fills the record; systemDialogRoundTrip shows it");
#endif
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

#ifdef Q_OS_WIN
    // The record through GetOpenFileNameW and back: its folder, filter and flags reach the
    // dialog, the choice comes back in the code page, and the current folder follows it unless
    // told not to; a name the code page cannot hold is no choice, and leaves the folder alone.
    void systemDialogRoundTrip_data() {
        QTest::addColumn<QString>("typed"); // empty: cancelled
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<bool>("taken");
        QTest::newRow("chosen") << "a.log" << quint32(0) << true;
        QTest::newRow("chosen, folder kept") << "a.log" << files::OFN_NOCHANGEDIR << true;
        QTest::newRow("beyond the code page") << QStringLiteral("ŵ.log") << quint32(0) << false;
        QTest::newRow("cancelled") << "" << quint32(0) << false;
    }
    void systemDialogRoundTrip() {
        QFETCH(QString, typed);
        QFETCH(quint32, flags);
        QFETCH(bool, taken);
        TempWorkDir dir;
        QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("logs")));
        dir.write("logs/a.log", "x");
        const std::wstring name = typed.toStdWString();
        files::OpenFileName record;
        record.lStructSize = files::OpenFileName::FirstLayoutSize;
        record.lpstrFilter = QByteArrayLiteral("Logs\0*.log\0\0");
        record.nFilterIndex = 1;
        record.lpstrFile = record.lpstrFileTitle = QByteArray(256, '\0');
        record.nMaxFile = record.nMaxFileTitle = 256;
        record.lpstrInitialDir = encodeFileName(QDir::toNativeSeparators(dir.path("logs")));
        record.Flags = flags | files::OFN_EXPLORER | files::OFN_ENABLEHOOK;
        record.lCustData = reinterpret_cast<std::intptr_t>(name.c_str());
        record.lpfnHook = reinterpret_cast<std::uintptr_t>(&chooseName);
        FakePort port;
        QCOMPARE(files::callDialogFunction(files::DialogFunction::GetOpenFileName, record, port),
                 taken);
        const QString chosen = QDir::toNativeSeparators(dir.path("logs/" + typed));
        QCOMPARE(files::bufferText(record.lpstrFile), taken ? chosen : QString());
        QCOMPARE(files::bufferText(record.lpstrFileTitle), taken ? typed : QString());
        QCOMPARE(int(record.nFileOffset), taken ? int(chosen.size() - typed.size()) : 0);
        const bool moved = taken && (flags & files::OFN_NOCHANGEDIR) == 0;
        QCOMPARE(QDir::currentPath(), dir.path(moved ? "logs" : ""));
    }
#endif
};

QTEST_GUILESS_MAIN(OpenSaveDialogTest)
#include "tst_opensavedialog.moc"
