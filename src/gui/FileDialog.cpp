// SPDX-License-Identifier: MIT
#include "gui/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace logwarden::gui {
namespace {

using platform::FileDialogRequest;

// Qt's widget dialog rather than the desktop's: it is the same on every desktop, needs no
// portal, and lets accept() refuse a choice the request forbids, as Windows does.
class RequestDialog : public QFileDialog {
public:
    RequestDialog(QWidget* owner, const FileDialogRequest& request)
        : QFileDialog(owner), mRequest(request) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        setFileMode(request.multiple        ? QFileDialog::ExistingFiles
                    : request.fileMustExist ? QFileDialog::ExistingFile
                                            : QFileDialog::AnyFile);
        setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        if (!request.title.isEmpty()) {
            setWindowTitle(request.title);
        }
        QStringList filters;
        for (const FileDialogRequest::NameFilter& filter : request.filters) {
            filters << filter.description + QStringLiteral(" (") + filter.patterns.join(u' ') +
                           u')';
        }
        if (!filters.isEmpty()) {
            setOption(QFileDialog::HideNameFilterDetails); // the descriptions as written
            setNameFilters(filters);
        }
        if (!request.initialFolder.isEmpty()) {
            setDirectory(request.initialFolder);
        }
        setDefaultSuffix(request.defaultSuffix);
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
    bool refuse(const QString& text) {
        ask(QMessageBox::Warning, text, QMessageBox::Ok);
        return false;
    }

    // A file name in the text is never markup.
    QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString& text,
                                    QMessageBox::StandardButtons buttons) {
        QMessageBox box(icon, windowTitle(), text, buttons, this);
        box.setTextFormat(Qt::PlainText);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    bool acceptable(const QStringList& files) {
        if (const QString why = mRequest.refusal ? mRequest.refusal(files) : QString();
            !why.isEmpty()) {
            return refuse(why);
        }
        for (const QString& file : files) {
            const QFileInfo info(file);
            if ((mRequest.pathMustExist || mRequest.createPrompt) && !info.dir().exists()) {
                return refuse(
                    QStringLiteral("%1\nパスが存在しません。\n正しいパスを指定してください。")
                        .arg(file));
            }
            if (mRequest.noReadOnly && info.exists() && !info.isWritable()) {
                return refuse(
                    QStringLiteral("%1 は読み取り専用です。\n別の名前を指定してください。")
                        .arg(info.fileName()));
            }
            if (mRequest.createPrompt && !info.exists() &&
                ask(QMessageBox::Question,
                    QStringLiteral("%1 は存在しません。\n作成しますか?").arg(info.fileName()),
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
                return false;
            }
        }
        return true;
    }

    const FileDialogRequest& mRequest;
};

} // namespace

QStringList showFileDialog(QWidget* owner, const FileDialogRequest& request) {
    RequestDialog dialog(owner, request);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

} // namespace logwarden::gui
