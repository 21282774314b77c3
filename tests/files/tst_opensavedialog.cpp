#include "FakePort.h"
#include "TempFiles.h"
#include "files/OpenSaveDialog.h"

#include <QtTest>
#include <map>

using Function = PlatformPort::FileDialog;
using Show = void (clsOpenSaveDialog::*)(std::uintptr_t);

namespace {

void setOption(clsOpenSaveDialog& dialog, const QString& name, bool value) {
    using Setter = void (clsOpenSaveDialog::*)(bool);
    static const std::map<QString, Setter> setters{
        {"AllowMultiSelect", &clsOpenSaveDialog::AllowMultiSelect},
        {"CheckReadOnly", &clsOpenSaveDialog::CheckReadOnly},
        {"CreatePrompt", &clsOpenSaveDialog::CreatePrompt},
        {"Explorer", &clsOpenSaveDialog::Explorer},
        {"FileMustExist", &clsOpenSaveDialog::FileMustExist},
        {"HideReadOnly", &clsOpenSaveDialog::HideReadOnly},
        {"NoChangeDir", &clsOpenSaveDialog::NoChangeDir},
        {"NoReadOnlyReturn", &clsOpenSaveDialog::NoReadOnlyReturn},
        {"NoValiDate", &clsOpenSaveDialog::NoValiDate},
        {"OverWritePrompt", &clsOpenSaveDialog::OverWritePrompt},
        {"PathMustExist", &clsOpenSaveDialog::PathMustExist},
        {"ShowHelp", &clsOpenSaveDialog::ShowHelp},
    };
    (dialog.*setters.at(name))(value);
}

// The record handed to the dialog by one ShowOpen with the given options set.
platform::OpenFileName openRecord(const QStringList& options, const QStringList& cleared = {}) {
    FakePort port;
    clsOpenSaveDialog dialog(port);
    for (const QString& name : options) {
        setOption(dialog, name, true);
    }
    for (const QString& name : cleared) {
        setOption(dialog, name, false);
    }
    dialog.ShowOpen(1);
    return port.dialogs.at(0).record;
}

} // namespace

class OpenSaveDialogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void flagWord_data();
    void flagWord();
    void recordOfEachShowMethod_data();
    void recordOfEachShowMethod();
    void recordCarriesTheTextOptions();
    void resultsOfEachCall();
    void choiceMustFitTheBuffer_data();
    void choiceMustFitTheBuffer();
    void currentFolderFollowsTheChoice_data();
    void currentFolderFollowsTheChoice();
    void severalFilesAreListedAfterTheirFolder();
};

void OpenSaveDialogTest::flagWord_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("cleared");
    QTest::addColumn<uint>("flags");
    QTest::newRow("none") << QStringList{} << QStringList{} << 0x0u;
    QTest::newRow("open command") << QStringList{"FileMustExist", "CheckReadOnly", "HideReadOnly",
                                                 "Explorer", "PathMustExist"}
                                  << QStringList{} << 0x81805u;
    QTest::newRow("AllowMultiSelect") << QStringList{"AllowMultiSelect"} << QStringList{} << 0x200u;
    QTest::newRow("CheckReadOnly") << QStringList{"CheckReadOnly"} << QStringList{} << 0x1u;
    QTest::newRow("CreatePrompt") << QStringList{"CreatePrompt"} << QStringList{} << 0x2000u;
    QTest::newRow("FileMustExist") << QStringList{"FileMustExist"} << QStringList{} << 0x1000u;
    QTest::newRow("Explorer") << QStringList{"Explorer"} << QStringList{} << 0x80000u;
    QTest::newRow("HideReadOnly") << QStringList{"HideReadOnly"} << QStringList{} << 0x4u;
    QTest::newRow("NoChangeDir") << QStringList{"NoChangeDir"} << QStringList{} << 0x8u;
    QTest::newRow("NoReadOnlyReturn")
        << QStringList{"NoReadOnlyReturn"} << QStringList{} << 0x8000u;
    QTest::newRow("NoValiDate") << QStringList{"NoValiDate"} << QStringList{} << 0x100u;
    QTest::newRow("OverWritePrompt") << QStringList{"OverWritePrompt"} << QStringList{} << 0x2u;
    QTest::newRow("PathMustExist") << QStringList{"PathMustExist"} << QStringList{} << 0x800u;
    QTest::newRow("ShowHelp") << QStringList{"ShowHelp"} << QStringList{} << 0x10u;
    QTest::newRow("set, then cleared")
        << QStringList{"Explorer", "ShowHelp"} << QStringList{"Explorer"} << 0x10u;
}

void OpenSaveDialogTest::flagWord() {
    QFETCH(QStringList, options);
    QFETCH(QStringList, cleared);
    QFETCH(uint, flags);
    QCOMPARE(openRecord(options, cleared).Flags, flags);
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
    QCOMPARE(r.hInstance, std::uintptr_t(0));
    QVERIFY(r.lpstrFilter.isNull() && r.lpstrCustomFilter.isNull());
    QCOMPARE(r.nMaxCustFilter + r.nFilterIndex, 0u);
    QCOMPARE(r.lpstrFile, QByteArray(256, '\0'));
    QCOMPARE(r.nMaxFile, 256u);
    QCOMPARE(r.lpstrFileTitle, QByteArray(256, '\0'));
    QCOMPARE(r.nMaxFileTitle, 256u);
    QVERIFY(r.lpstrInitialDir.isNull());
    QCOMPARE(QString::fromLocal8Bit(r.lpstrTitle), title);
    QCOMPARE(r.Flags, 0u);
    QCOMPARE(r.nFileOffset + r.nFileExtension, 0);
    QVERIFY(r.lpstrDefExt.isNull() && r.lpTemplateName.isNull());
    QCOMPARE(r.lCustData, std::intptr_t(0));
    QCOMPARE(r.lpfnHook, std::uintptr_t(0));
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
    const platform::OpenFileName& first = port.dialogs[0].record;
    QCOMPARE(first.lpstrFilter, QByteArrayLiteral("ログ\0*.log\0\0"));
    QCOMPARE(first.lpstrInitialDir, QByteArray("/no/such/folder"));
    QCOMPARE(first.lpstrDefExt, QByteArray("log"));
    QVERIFY(port.dialogs[1].record.lpstrInitialDir.isNull());
    QCOMPARE(port.dialogs[1].record.lpstrFilter, first.lpstrFilter); // options persist
}

void OpenSaveDialogTest::resultsOfEachCall() {
    TempWorkDir dir;
    const QString path = dir.write("ファイル 1.log", "x");
    FakePort port;
    port.dialogAnswers = {{path}, {}};
    clsOpenSaveDialog dialog(port);
    dialog.NoChangeDir(true);
    QVERIFY(dialog.FilePath().isEmpty() && dialog.FileName().isEmpty());
    dialog.ShowOpen(1);
    QCOMPARE(dialog.FilePath(), path);
    QCOMPARE(dialog.FileName(), QStringLiteral("ファイル 1.log"));
    dialog.ShowOpen(1); // cancelled: an earlier choice does not survive
    QVERIFY(dialog.FilePath().isEmpty() && dialog.FileName().isEmpty());
}

void OpenSaveDialogTest::choiceMustFitTheBuffer_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("fits");
    const QString folder = QStringLiteral("/logs/");
    QTest::newRow("255 bytes") << folder + QString(249, u'a') << true;
    QTest::newRow("256 bytes") << folder + QString(250, u'a') << false;
    // Three bytes each in UTF-8: 6 + 249 = 255 bytes, though only 89 characters.
    QTest::newRow("255 bytes, multibyte") << folder + QString(83, u'ロ') << true;
    QTest::newRow("258 bytes, 90 characters") << folder + QString(84, u'ロ') << false;
}

void OpenSaveDialogTest::choiceMustFitTheBuffer() {
    QFETCH(QString, path);
    QFETCH(bool, fits);
    FakePort port;
    port.dialogAnswers = {{path}};
    clsOpenSaveDialog dialog(port);
    dialog.NoChangeDir(true);
    dialog.ShowOpen(1);
    QCOMPARE(dialog.FilePath(), fits ? path : QString());
    QCOMPARE(dialog.FileName().isEmpty(), !fits);
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

    platform::OpenFileName record = port.dialogs[0].record;
    QVERIFY(platform::completeChoice(record, {dir.path("a.log"), dir.path("b.log")}));
    const QByteArray expected =
        QFile::encodeName(dir.path({})) + QByteArrayLiteral("\0a.log\0b.log\0\0");
    QCOMPARE(record.lpstrFile.left(expected.size()), expected);
}

QTEST_GUILESS_MAIN(OpenSaveDialogTest)
#include "tst_opensavedialog.moc"
