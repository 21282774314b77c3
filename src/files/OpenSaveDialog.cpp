// SPDX-License-Identifier: MIT
#include "files/OpenSaveDialog.h"

#include <array>

using namespace files;

namespace {

constexpr std::uint32_t FileBufferSize = 256;

QByteArray systemText(const QString& text) {
    return text.isEmpty() ? QByteArray() : text.toLocal8Bit();
}

} // namespace

void clsOpenSaveDialog::ShowOpen(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Open, PlatformPort::FileDialog::Open);
}

void clsOpenSaveDialog::ShowPreviewOpen(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Open, PlatformPort::FileDialog::PreviewOpen);
}

void clsOpenSaveDialog::ShowSave(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Save, PlatformPort::FileDialog::Save);
}

void clsOpenSaveDialog::ShowPreviewSave(std::uintptr_t IlngHandle) {
    show(IlngHandle, Kind::Save, PlatformPort::FileDialog::PreviewSave);
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
    record.lpstrInitialDir = systemText(mInitDir);
    record.lpstrTitle = systemText(kind == Kind::Open ? QStringLiteral("ファイルを開く")
                                                      : QStringLiteral("ファイルを保存する"));
    record.Flags = BuildFlags();
    record.lpstrDefExt = systemText(mDefaultExt);
    return record;
}

void clsOpenSaveDialog::show(std::uintptr_t owner, Kind kind, PlatformPort::FileDialog function) {
    OpenFileName record = BuildDialogRecord(owner, kind);
    const bool chosen = mPort.showFileDialog(function, record);
    mFilePath = chosen ? bufferText(record.lpstrFile) : QString();
    mFileName = chosen ? bufferText(record.lpstrFileTitle) : QString();
}
