// SPDX-License-Identifier: MIT
#pragma once

#include "files/OpenFileName.h"
#include "platform/PlatformPort.h"

#include <QString>
#include <cstdint>

namespace logwarden::files {

// The open and save dialogs of the desktop, set up through write-only options and read back
// through FilePath and FileName. Shows no messages of its own.
class clsOpenSaveDialog {
public:
    explicit clsOpenSaveDialog(platform::PlatformPort& port) : mPort(port) {}

    void AllowMultiSelect(bool IblnAllowMultiSelect) { mAllowMultiSelect = IblnAllowMultiSelect; }
    void CheckReadOnly(bool IblnCheckReadOnly) { mCheckReadOnly = IblnCheckReadOnly; }
    void CreatePrompt(bool IblnCreatePrompt) { mCreatePrompt = IblnCreatePrompt; }
    void Explorer(bool IblnExplorer) { mExplorer = IblnExplorer; }
    void FileMustExist(bool IblnFileMustExist) { mFileMustExist = IblnFileMustExist; }
    void Filter(const QString& IstrFilter) { mFilter = IstrFilter; }
    void DefaultExt(const QString& IstrDefaultExt) { mDefaultExt = IstrDefaultExt; }
    void HideReadOnly(bool IblnHideReadOnly) { mHideReadOnly = IblnHideReadOnly; }
    void InitDir(const QString& IstrInitDir) { mInitDir = IstrInitDir; }
    void NoChangeDir(bool IblnNoChangeDir) { mNoChangeDir = IblnNoChangeDir; }
    void NoReadOnlyReturn(bool IblnNoReadOnlyReturn) { mNoReadOnlyReturn = IblnNoReadOnlyReturn; }
    void NoValiDate(bool IblnNoValiDate) { mNoValiDate = IblnNoValiDate; }
    void OverWritePrompt(bool IblnOverWritePrompt) { mOverWritePrompt = IblnOverWritePrompt; }
    void PathMustExist(bool IblnPathMustExist) { mPathMustExist = IblnPathMustExist; }
    void ShowHelp(bool IblnShowHelp) { mShowHelp = IblnShowHelp; }
    const QString& FilePath() const { return mFilePath; }
    const QString& FileName() const { return mFileName; }
    void ShowOpen(std::uintptr_t IlngHandle);
    void ShowPreviewOpen(std::uintptr_t IlngHandle);
    void ShowSave(std::uintptr_t IlngHandle);
    void ShowPreviewSave(std::uintptr_t IlngHandle);

private:
    enum class Kind { Open, Save };

    std::uint32_t BuildFlags() const;
    OpenFileName BuildDialogRecord(std::uintptr_t owner, Kind kind) const;
    void show(std::uintptr_t owner, Kind kind, DialogFunction function);

    platform::PlatformPort& mPort;
    QString mFilter;
    QString mFilePath;
    QString mFileName;
    QString mInitDir;
    QString mDefaultExt;
    bool mAllowMultiSelect = false;
    bool mCheckReadOnly = false;
    bool mCreatePrompt = false;
    bool mExplorer = false;
    bool mFileMustExist = false;
    bool mHideReadOnly = false;
    bool mNoChangeDir = false;
    bool mNoReadOnlyReturn = false;
    bool mNoValiDate = false;
    bool mOverWritePrompt = false;
    bool mPathMustExist = false;
    bool mShowHelp = false;
};

} // namespace logwarden::files
