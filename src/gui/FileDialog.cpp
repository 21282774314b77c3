// SPDX-License-Identifier: MIT
#include "gui/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

using namespace files;

namespace {

// Qt's widget dialog rather than the desktop's: it is the same on every desktop, needs no
// portal, and lets accept() refuse a choice the record's options forbid, as Windows does.
class RecordDialog : public QFileDialog {
public:
    RecordDialog(QWidget* owner, bool save, const OpenFileName& record)
        : QFileDialog(owner), mRecord(record) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        setFileMode(fileModeFor(save));
        setOption(QFileDialog::DontConfirmOverwrite, !has(OFN_OVERWRITEPROMPT));
        if (!record.lpstrTitle.isNull()) {
            setWindowTitle(QString::fromLocal8Bit(record.lpstrTitle));
        }
        const QStringList filters = ::nameFilters(record.lpstrFilter);
        if (!filters.isEmpty()) {
            setOption(QFileDialog::HideNameFilterDetails); // the descriptions as written
            setNameFilters(filters);
        }
        if (!record.lpstrInitialDir.isNull()) {
            setDirectory(bufferText(record.lpstrInitialDir));
        }
        if (!record.lpstrDefExt.isNull()) {
            setDefaultSuffix(QString::fromLocal8Bit(record.lpstrDefExt));
        }
    }

    void accept() override {
        const QStringList files = selectedFiles();
        const bool folder = files.size() == 1 && QFileInfo(files.first()).isDir();
        if (!files.isEmpty() && !folder && !acceptable(files)) {
            return;
        }
        QFileDialog::accept();
    }

private:
    bool has(std::uint32_t bit) const { return (mRecord.Flags & bit) != 0; }

    QFileDialog::FileMode fileModeFor(bool save) const {
        if (save) {
            return QFileDialog::AnyFile;
        }
        if (has(OFN_ALLOWMULTISELECT)) {
            return QFileDialog::ExistingFiles;
        }
        return has(OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
    }

    bool refuse(const QString& text) {
        QMessageBox::warning(this, windowTitle(), text);
        return false;
    }

    bool acceptable(const QStringList& files) {
        OpenFileName probe = mRecord;
        probe.Flags |= OFN_NOCHANGEDIR;
        if (!completeChoice(probe, files)) {
            return refuse(QStringLiteral("%1\nパスが長すぎます。").arg(files.first()));
        }
        for (const QString& file : files) {
            const QFileInfo info(file);
            if ((has(OFN_PATHMUSTEXIST) || has(OFN_CREATEPROMPT)) && !info.dir().exists()) {
                return refuse(
                    QStringLiteral("%1\nパスが存在しません。\n正しいパスを指定してください。")
                        .arg(file));
            }
            if (has(OFN_NOREADONLYRETURN) && info.exists() && !info.isWritable()) {
                return refuse(
                    QStringLiteral("%1 は読み取り専用です。\n別の名前を指定してください。")
                        .arg(info.fileName()));
            }
            if (has(OFN_CREATEPROMPT) && !info.exists() &&
                QMessageBox::question(
                    this, windowTitle(),
                    QStringLiteral("%1 は存在しません。\n作成しますか?").arg(info.fileName())) !=
                    QMessageBox::Yes) {
                return false;
            }
        }
        return true;
    }

    const OpenFileName& mRecord;
};

} // namespace

QStringList nameFilters(const QByteArray& lpstrFilter) {
    const QList<QByteArray> parts = lpstrFilter.split('\0');
    QStringList filters;
    // An empty description ends the list.
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : QString::fromLocal8Bit(parts[i + 1]).split(u';')) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty()) {
                patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
            }
        }
        if (!patterns.isEmpty()) {
            filters << QString::fromLocal8Bit(parts[i]) + QStringLiteral(" (") +
                           patterns.join(u' ') + u')';
        }
    }
    return filters;
}

bool showRecordDialog(QWidget* owner, bool save, OpenFileName& record) {
    RecordDialog dialog(owner, save, record);
    return dialog.exec() == QDialog::Accepted && completeChoice(record, dialog.selectedFiles());
}
