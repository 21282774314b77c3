// SPDX-License-Identifier: MIT
#include "FakePort.h"
#include "TempFiles.h"
#include "files/OpenSaveDialog.h"

#include <QtTest>
#include <functional>

using Function = PlatformPort::FileDialog;
using Show = void (clsOpenSaveDialog::*)(std::uintptr_t);

namespace {

// The flag word one ShowOpen hands to the dialog after `set` has set the options.
std::uint32_t flagsAfter(const std::function<void(clsOpenSaveDialog&)>& set) {
    FakePort port;
    clsOpenSaveDialog dialog(port);
    set(dialog);
    dialog.ShowOpen(1);
    return port.dialogs.at(0).record.Flags;
}

} // namespace

class OpenSaveDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void flagWord();
    void recordOfEachShowMethod_data();
    void recordOfEachShowMethod();
    void recordCarriesTheTextOptions();
    void choiceIsTakenWhole_data();
    void choiceIsTakenWhole();
    void currentFolderFollowsTheChoice_data();
    void currentFolderFollowsTheChoice();
    void severalFilesAreListedAfterTheirFolder();
};

// The open command's word, 0x81805, is checked with the command.
void OpenSaveDialogTest::flagWord() {
    QCOMPARE(flagsAfter([](clsOpenSaveDialog&) {}), 0x0u);
    QCOMPARE(flagsAfter([](clsOpenSaveDialog& d) { d.NoReadOnlyReturn(true); }), 0x8000u);
    QCOMPARE(flagsAfter([](clsOpenSaveDialog& d) {
                 d.AllowMultiSelect(true);
                 d.CreatePrompt(true);
                 d.NoChangeDir(true);
                 d.NoValiDate(true);
                 d.OverWritePrompt(true);
                 d.ShowHelp(true);
             }),
             0x231au);
    QCOMPARE(flagsAfter([](clsOpenSaveDialog& d) {
                 d.Explorer(true);
                 d.ShowHelp(true);
                 d.Explorer(false);
             }),
             0x10u);
}

void OpenSaveDialogTest::recordOfEachShowMethod_data() {
    QTest::addColumn<Show>("show");
    QTest::addColumn<Function>("function");
    QTest::addColumn<QString>("title");
    const QString open = QStringLiteral("ファイルを開く");
    const QString save = QStringLiteral("ファイルを保存する");
    QTest::newRow("ShowOpen") << &clsOpenSaveDialog::ShowOpen << Function::Open << open;
    QTest::newRow("ShowPreviewOpen")
        << &clsOpenSaveDialog::ShowPreviewOpen << Function::PreviewOpen << open;
    QTest::newRow("ShowSave") << &clsOpenSaveDialog::ShowSave << Function::Save << save;
    QTest::newRow("ShowPreviewSave")
        << &clsOpenSaveDialog::ShowPreviewSave << Function::PreviewSave << save;
}

// A new instance: nothing but the fixed members is set.
void OpenSaveDialogTest::recordOfEachShowMethod() {
    QFETCH(Show, show);
    QFETCH(Function, function);
    QFETCH(QString, title);
    FakePort port;
    clsOpenSaveDialog dialog(port);
    (dialog.*show)(0x77);
    QCOMPARE(port.dialogs.size(), std::size_t(1));
    const auto& [shownWith, r] = port.dialogs[0];
    QCOMPARE(shownWith, function);
    QCOMPARE(r.lStructSize, 76u);
    QCOMPARE(r.hwndOwner, std::uintptr_t(0x77));
    QVERIFY(r.lpstrFilter.isNull() && r.lpstrCustomFilter.isNull());
    QCOMPARE(r.lpstrFile, QByteArray(256, '\0'));
    QCOMPARE(r.nMaxFile, 256u);
    QCOMPARE(r.lpstrFileTitle, QByteArray(256, '\0'));
    QCOMPARE(r.nMaxFileTitle, 256u);
    QVERIFY(r.lpstrInitialDir.isNull());
    QCOMPARE(QString::fromLocal8Bit(r.lpstrTitle), title);
    QCOMPARE(r.Flags, 0u);
    QVERIFY(r.lpstrDefExt.isNull());
}

void OpenSaveDialogTest::recordCarriesTheTextOptions() {
    FakePort port;
    clsOpenSaveDialog dialog(port);
    dialog.Filter(QStringLiteral("ログ") + QChar(u'\0') + QStringLiteral("*.log"));
    dialog.InitDir(QStringLiteral("/no/such/folder")); // passed on unchecked
    dialog.DefaultExt(QStringLiteral("log"));
    dialog.ShowSave(1);
    dialog.InitDir({});
    dialog.ShowSave(1);
    const files::OpenFileName& first = port.dialogs[0].record;
    QCOMPARE(first.lpstrFilter, QByteArrayLiteral("ログ\0*.log\0\0"));
    QCOMPARE(first.lpstrInitialDir, QByteArray("/no/such/folder"));
    QCOMPARE(first.lpstrDefExt, QByteArray("log"));
    QVERIFY(port.dialogs[1].record.lpstrInitialDir.isNull());
    QCOMPARE(port.dialogs[1].record.lpstrFilter, first.lpstrFilter); // options persist
}

void OpenSaveDialogTest::choiceIsTakenWhole_data() {
    QTest::addColumn<QStringList>("chosen"); // none for a cancel
    QTest::addColumn<bool>("taken");
    const QString folder = QStringLiteral("/logs/");
    QTest::newRow("cancelled") << QStringList{} << false;
    QTest::newRow("255 bytes") << QStringList{folder + QString(249, u'a')} << true;
    QTest::newRow("256 bytes") << QStringList{folder + QString(250, u'a')} << false;
    // Three bytes each in UTF-8: 6 + 249 = 255 bytes, though only 89 characters.
    QTest::newRow("255 bytes, multibyte") << QStringList{folder + QString(83, u'ロ')} << true;
    QTest::newRow("258 bytes, 90 characters") << QStringList{folder + QString(84, u'ロ')} << false;
}

// A choice that does not fit the 256-byte buffer is not taken; nor does an earlier one survive.
void OpenSaveDialogTest::choiceIsTakenWhole() {
    QFETCH(QStringList, chosen);
    QFETCH(bool, taken);
    TempWorkDir dir;
    const QString earlier = dir.write("ファイル 1.log", "x");
    FakePort port;
    port.dialogAnswers = {{earlier}, chosen};
    clsOpenSaveDialog dialog(port);
    dialog.NoChangeDir(true);
    QVERIFY(dialog.FilePath().isEmpty() && dialog.FileName().isEmpty());
    dialog.ShowOpen(1);
    QCOMPARE(dialog.FilePath(), earlier);
    QCOMPARE(dialog.FileName(), QStringLiteral("ファイル 1.log"));
    dialog.ShowOpen(1);
    QCOMPARE(dialog.FilePath(), taken ? chosen.first() : QString());
    QCOMPARE(dialog.FileName(), taken ? QFileInfo(chosen.first()).fileName() : QString());
}

void OpenSaveDialogTest::currentFolderFollowsTheChoice_data() {
    QTest::addColumn<bool>("noChangeDir");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("moved");
    QTest::newRow("chosen") << false << false << true;
    QTest::newRow("chosen, NoChangeDir") << true << false << false;
    QTest::newRow("cancelled") << false << true << false;
}

void OpenSaveDialogTest::currentFolderFollowsTheChoice() {
    QFETCH(bool, noChangeDir);
    QFETCH(bool, cancel);
    QFETCH(bool, moved);
    TempWorkDir dir;
    QVERIFY(QDir(dir.path({})).mkdir(QStringLiteral("logs")));
    const QString path = dir.write("logs/app.log", "x");
    const QString before = QDir::currentPath();
    FakePort port;
    port.dialogAnswers = {cancel ? QStringList{} : QStringList{path}};
    clsOpenSaveDialog dialog(port);
    dialog.NoChangeDir(noChangeDir);
    dialog.ShowOpen(1);
    QCOMPARE(QDir::currentPath(), moved ? dir.path("logs") : before);
}

// The file buffer then holds the folder and each name, NUL-ended; FilePath reads its first string.
void OpenSaveDialogTest::severalFilesAreListedAfterTheirFolder() {
    TempWorkDir dir;
    FakePort port;
    port.dialogAnswers = {{dir.path("a.log"), dir.path("b.log")}};
    clsOpenSaveDialog dialog(port);
    dialog.AllowMultiSelect(true);
    dialog.NoChangeDir(true);
    dialog.ShowOpen(1);
    QCOMPARE(dialog.FilePath(), dir.path({}));
    QVERIFY(dialog.FileName().isEmpty());

    files::OpenFileName record = port.dialogs[0].record;
    QVERIFY(files::completeChoice(record, {dir.path("a.log"), dir.path("b.log")}));
    const QByteArray expected =
        QFile::encodeName(dir.path({})) + QByteArrayLiteral("\0a.log\0b.log\0\0");
    QCOMPARE(record.lpstrFile.left(expected.size()), expected);
}

QTEST_GUILESS_MAIN(OpenSaveDialogTest)
#include "tst_opensavedialog.moc"
