#include "ClosingVariants.h"
#include "FakePort.h"
#include "TempFiles.h"
#include "core/frmMain.h"
#include "settings/IniFile.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>

// Start-up and close of the window when its settings file is not what the saver wrote, or is
// written by two processes at once.
namespace {

const QString IniName = QString::fromLatin1(modIniFile::FileName);

struct Window {
    modGlobal global;
    FakePort port;
    frmMain form{global, port, {}};
    Window() { form.Form_Load(); }
    const AppSettings& settings() const { return global; }
};

// What start-up holds with no settings file at all.
AppSettings startedWithoutFile() {
    TempWorkDir empty;
    return Window().settings();
}

QByteArray fileBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList folderEntries() {
    return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
}

AppSettings loaded() {
    AppSettings settings;
    modIniFile::LoadIniFile(settings);
    return settings;
}

bool nextLineIs(QProcess& process, const QByteArray& line) {
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(30'000)) {
            return false;
        }
    }
    return process.readLine() == line + '\n';
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

} // namespace

class SettingsFaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void unusableFileStartsWithResetValues_data();
    void unusableFileStartsWithResetValues();
    void twoProcessesClosingAtOnceLeaveOneWholeFile();
};

void SettingsFaultsTest::unusableFileStartsWithResetValues_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("empty") << "empty";
    QTest::newRow("binary garbage") << "garbage";
    QTest::newRow("10 MB of garbage") << "huge";
    QTest::newRow("folder") << "folder";
    QTest::newRow("FIFO") << "fifo";
}

void SettingsFaultsTest::unusableFileStartsWithResetValues() {
    QFETCH(QString, kind);
    const AppSettings reset = startedWithoutFile();
    TempWorkDir dir;
    if (kind == "empty") {
        dir.write(IniName, {});
    } else if (kind == "garbage") {
        dir.write(IniName, randomBytes(64 * 1024, 1));
    } else if (kind == "huge") {
        dir.write(IniName, randomBytes(10 * 1024 * 1024, 2));
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(IniName));
    } else {
        QCOMPARE(::mkfifo(QFile::encodeName(IniName).constData(), 0600), 0);
    }
    Window w;
    QCOMPARE(w.settings(), reset);
    QVERIFY(w.form.mnuViewText.checked());
    w.form.mnuTextSizeValue.click(15);
    w.form.Form_QueryUnload();
    QCOMPARE(w.port.forwardCalls.back(), false);
    QVERIFY(w.port.messages.empty());
    QCOMPARE(folderEntries(), QStringList{IniName});
    if (kind == "folder") {
        QVERIFY(QFileInfo(IniName).isDir());
    } else {
        QCOMPARE(fileBytes(IniName), modIniFile::settingsText(w.settings()));
    }
}

void SettingsFaultsTest::twoProcessesClosingAtOnceLeaveOneWholeFile() {
    TempWorkDir dir;
    QTemporaryDir fifoDir;
    // The closers wait to open this FIFO for reading; opening it for writing releases both at
    // the same moment.
    const QString go = fifoDir.filePath(QStringLiteral("go"));
    QCOMPARE(::mkfifo(QFile::encodeName(go).constData(), 0600), 0);
    const AppSettings first = closingVariant(1);
    const AppSettings second = closingVariant(2);
    const QByteArray firstBytes = modIniFile::settingsText(first);
    const QByteArray secondBytes = modIniFile::settingsText(second);
    QProcess closers[2];
    for (int i = 0; i < 2; ++i) {
        closers[i].setWorkingDirectory(dir.path({}));
        closers[i].start(QStringLiteral(SETTINGS_CLOSER), {QString::number(i + 1), go});
    }
    int firstRemained = 0;
    for (int round = 0; round < 200; ++round) {
        for (QProcess& closer : closers) {
            closer.write("window\n");
        }
        for (QProcess& closer : closers) {
            QVERIFY(nextLineIs(closer, "ready"));
        }
        QFile release(go);
        QVERIFY(release.open(QIODevice::WriteOnly));
        for (QProcess& closer : closers) {
            QVERIFY(nextLineIs(closer, "done"));
        }
        release.close();
        const QByteArray bytes = fileBytes(IniName);
        QVERIFY2(bytes == firstBytes || bytes == secondBytes, qPrintable(QString::number(round)));
        const AppSettings settings = loaded();
        QVERIFY(settings == first || settings == second);
        firstRemained += settings == first ? 1 : 0;
        QCOMPARE(folderEntries(), QStringList{IniName});
    }
    for (QProcess& closer : closers) {
        closer.closeWriteChannel();
        QVERIFY(closer.waitForFinished(30'000));
        QCOMPARE(closer.exitCode(), 0);
    }
    qInfo("the first process's file remained %d times of 200", firstRemained);
}

QTEST_GUILESS_MAIN(SettingsFaultsTest)
#include "tst_settingsfaults.moc"
