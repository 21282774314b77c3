// SPDX-License-Identifier: MIT
#include "files/OpenSaveDialog.h"

#include "platform/SystemText.h"

#include <array>

namespace logwarden::files {
namespace {

constexpr std::uint32_t FileBufferSize = 256;

// A null string member is a null pointer.
QByteArray systemText(const QString& text) {
    return text.isEmpty() ? QByteArray() : platform::encodeSystemText(text);
}

} // namespace

void clsOpenSaveDialog::ShowOpen(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Open, DialogFunction::GetOpenFileName);
}

void clsOpenSaveDialog::ShowPreviewOpen(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Open, DialogFunction::GetOpenFileNamePreview);
}

void clsOpenSaveDialog::ShowSave(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Save, DialogFunction::GetSaveFileName);
}

void clsOpenSaveDialog::ShowPreviewSave(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Save, DialogFunction::GetSaveFileNamePreview);
}

std::uint32_t clsOpenSaveDialog::BuildFlags() const {
    const std::array<std::pair<bool, std::uint32_t>, 12> bits{{
        {mAllowMultiSelect, OFN_ALLOWMULTISELECT},
        {mCheckReadOnly, OFN_READONLY},
        {mCreatePrompt, OFN_CREATEPROMPT},
        {mFileMustExist, OFN_FILEMUSTEXIST},
        {mExplorer, OFN_EXPLORER},
        {mHideReadOnly, OFN_HIDEREADONLY},
        {mNoChangeDir, OFN_NOCHANGEDIR},
        {mNoReadOnlyReturn, OFN_NOREADONLYRETURN},
        {mNoValiDate, OFN_NOVALIDATE},
        {mOverWritePrompt, OFN_OVERWRITEPROMPT},
        {mPathMustExist, OFN_PATHMUSTEXIST},
        {mShowHelp, OFN_SHOWHELP},
    }};
    std::uint32_t flags = 0;
    for (const auto& [on, bit] : bits) {
        if (on) {
            flags |= bit;
        }
    }
    return flags;
}

OpenFileName clsOpenSaveDialog::BuildDialogRecord(std::uintptr_t owner, Kind kind) const {
    OpenFileName record;
    record.lStructSize = OpenFileName::FirstLayoutSize;
    record.hwndOwner = owner;
    // No dialog template is used, so there is no module for hInstance to name; it stays 0.
    if (!mFilter.isEmpty()) {
        record.lpstrFilter = systemText(mFilter) + QByteArray(2, '\0');
    }
    record.lpstrFile = QByteArray(FileBufferSize, '\0');
    record.nMaxFile = FileBufferSize;
    record.lpstrFileTitle = QByteArray(FileBufferSize, '\0');
    record.nMaxFileTitle = FileBufferSize;
    record.lpstrInitialDir = mInitDir.isEmpty() ? QByteArray() : platform::encodeFileName(mInitDir);
    record.lpstrTitle = systemText(kind == Kind::Open ? QStringLiteral("ファイルを開く")
                                                      : QStringLiteral("ファイルを保存する"));
    record.Flags = BuildFlags();
    record.lpstrDefExt = systemText(mDefaultExt);
    return record;
}

void clsOpenSaveDialog::show(std::uintptr_t owner, Kind kind, DialogFunction function) {
    OpenFileName record = BuildDialogRecord(owner, kind);
    const bool chosen = callDialogFunction(function, record, mPort);
    mFilePath = chosen ? bufferText(record.lpstrFile) : QString();
    mFileName = chosen ? bufferText(record.lpstrFileTitle) : QString();
}

} // namespace logwarden::files
