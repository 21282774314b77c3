// SPDX-License-Identifier: MIT
// On Windows the record is the system's own: the dialog functions are called with it, its
// strings in UTF-16 for the call and in the system's code page before and after it.
#include "files/OpenFileName.h"
#include "platform/SystemText.h"

// windows.h comes first
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <vfw.h>
// clang-format on
#include <string>

// The record's functions are named as the system's: its macros for them would rename ours.
#undef GetOpenFileName
#undef GetOpenFileNamePreview
#undef GetSaveFileName
#undef GetSaveFileNamePreview

namespace logwarden::files {
namespace {

// A string member for the call; null stays null. Its NULs (a filter list) are kept.
std::wstring wideOf(const QByteArray& member, bool path) {
    const QString text =
        path ? platform::decodeFileName(member) : platform::decodeSystemText(member);
    return text.toStdWString();
}

const wchar_t* orNull(const QByteArray& member, const std::wstring& text) {
    return member.isNull() ? nullptr : text.c_str();
}

// A file buffer back in the system's code page; false when the choice does not fit its room
// there, as the ANSI dialog would have failed.
bool writeBack(const std::wstring& buffer, std::uint32_t room, QByteArray& member) {
    // Several files come as the folder, then each name, NUL-ended, then one more NUL.
    qsizetype end = 0;
    while (end < qsizetype(buffer.size()) && (buffer[end] != 0 || buffer[end + 1] != 0)) {
        ++end;
    }
    const QStringList parts = QString::fromWCharArray(buffer.data(), end).split(QChar(u'\0'));
    QList<QByteArray> encoded;
    for (const QString& part : parts) {
        encoded << platform::encodeFileName(part);
        if (platform::decodeFileName(encoded.back()) != part) {
            return false; // a name the code page cannot hold would open another file
        }
    }
    const QByteArray bytes = encoded.join('\0') + QByteArray(parts.size() > 1 ? 2 : 1, '\0');
    if (bytes.size() > qsizetype(room) || bytes.size() > member.size()) {
        return false;
    }
    member.replace(0, bytes.size(), bytes);
    return true;
}

// The dialog counts UTF-16 units; the record's offsets count bytes of the code page.
std::uint16_t byteOffset(const std::wstring& buffer, std::uint16_t units) {
    const QString before = QString::fromWCharArray(buffer.data(), units);
    return static_cast<std::uint16_t>(platform::encodeFileName(before).size());
}

} // namespace

bool callDialogFunction(DialogFunction function, OpenFileName& record,
                        platform::PlatformPort& /*port*/) {
    const std::wstring filter = wideOf(record.lpstrFilter, false);
    const std::wstring initialDir = wideOf(record.lpstrInitialDir, true);
    const std::wstring title = wideOf(record.lpstrTitle, false);
    const std::wstring defExt = wideOf(record.lpstrDefExt, false);
    std::wstring file(record.nMaxFile, L'\0');
    std::wstring fileTitle(record.nMaxFileTitle, L'\0');

    OPENFILENAMEW dialog{};
    // The first layout, the one that ends with lpTemplateName, as the record is.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = reinterpret_cast<HWND>(record.hwndOwner);
    dialog.hInstance = reinterpret_cast<HINSTANCE>(record.hInstance);
    dialog.lpstrFilter = orNull(record.lpstrFilter, filter);
    dialog.nFilterIndex = record.nFilterIndex;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = record.nMaxFile;
    dialog.lpstrFileTitle = record.lpstrFileTitle.isNull() ? nullptr : fileTitle.data();
    dialog.nMaxFileTitle = record.nMaxFileTitle;
    dialog.lpstrInitialDir = orNull(record.lpstrInitialDir, initialDir);
    dialog.lpstrTitle = orNull(record.lpstrTitle, title);
    dialog.Flags = record.Flags;
    dialog.lpstrDefExt = orNull(record.lpstrDefExt, defExt);
    dialog.lCustData = record.lCustData;
    dialog.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(record.lpfnHook);

    // The dialog changes the current folder on a choice that may yet be refused below.
    std::wstring current(::GetCurrentDirectoryW(0, nullptr), L'\0');
    current.resize(::GetCurrentDirectoryW(DWORD(current.size()), current.data()));

    BOOL chosen = FALSE;
    switch (function) {
    case DialogFunction::GetOpenFileName:
        chosen = ::GetOpenFileNameW(&dialog);
        break;
    case DialogFunction::GetOpenFileNamePreview:
        chosen = ::GetOpenFileNamePreviewW(&dialog);
        break;
    case DialogFunction::GetSaveFileName:
        chosen = ::GetSaveFileNameW(&dialog);
        break;
    case DialogFunction::GetSaveFileNamePreview:
        chosen = ::GetSaveFileNamePreviewW(&dialog);
        break;
    }
    if (chosen == FALSE) {
        ::SetCurrentDirectoryW(current.c_str()); // it may have changed while browsing
        return false;
    }
    QByteArray chosenFile = record.lpstrFile;
    QByteArray chosenTitle = record.lpstrFileTitle;
    if (!writeBack(file, record.nMaxFile, chosenFile) ||
        (!chosenTitle.isNull() && !writeBack(fileTitle, record.nMaxFileTitle, chosenTitle))) {
        ::SetCurrentDirectoryW(current.c_str());
        return false;
    }
    record.lpstrFile = chosenFile;
    record.lpstrFileTitle = chosenTitle;
    record.Flags = dialog.Flags;
    record.nFilterIndex = dialog.nFilterIndex;
    record.nFileOffset = byteOffset(file, dialog.nFileOffset);
    record.nFileExtension =
        dialog.nFileExtension == 0 ? 0 : byteOffset(file, dialog.nFileExtension);
    return true;
}

} // namespace logwarden::files
