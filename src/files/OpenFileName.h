// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PlatformPort.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>

namespace logwarden::files {

// Option bits of OpenFileName::Flags.
inline constexpr std::uint32_t OFN_READONLY = 0x1;
inline constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
inline constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::uint32_t OFN_NOCHANGEDIR = 0x8;
inline constexpr std::uint32_t OFN_SHOWHELP = 0x10;
inline constexpr std::uint32_t OFN_ENABLEHOOK = 0x20;
inline constexpr std::uint32_t OFN_NOVALIDATE = 0x100;
inline constexpr std::uint32_t OFN_ALLOWMULTISELECT = 0x200;
inline constexpr std::uint32_t OFN_PATHMUSTEXIST = 0x800;
inline constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;
inline constexpr std::uint32_t OFN_CREATEPROMPT = 0x2000;
inline constexpr std::uint32_t OFN_NOREADONLYRETURN = 0x8000;
inline constexpr std::uint32_t OFN_EXPLORER = 0x80000;

// The record a file dialog is shown from, member for member the ANSI open-file record in its
// first layout (the one ending with lpTemplateName). Only 32-bit Windows can take that layout
// as a 76-byte image; here pointers are 8 bytes, so the record keeps its members and their
// order, and lStructSize keeps 76 as the mark of the layout rather than as its sizeof.
// A string member owns its bytes in the system's 8-bit code set; a null QByteArray is a null
// pointer. The two file buffers are zero-filled arrays that the dialog writes C strings into.
struct OpenFileName {
    static constexpr std::uint32_t FirstLayoutSize = 76;

    std::uint32_t lStructSize = 0;
    std::uintptr_t hwndOwner = 0;
    std::uintptr_t hInstance = 0;
    QByteArray lpstrFilter; // pairs of description and patterns, each NUL-ended, then a NUL
    QByteArray lpstrCustomFilter;
    std::uint32_t nMaxCustFilter = 0;
    std::uint32_t nFilterIndex = 0;
    QByteArray lpstrFile;
    std::uint32_t nMaxFile = 0;
    QByteArray lpstrFileTitle;
    std::uint32_t nMaxFileTitle = 0;
    QByteArray lpstrInitialDir;
    QByteArray lpstrTitle;
    std::uint32_t Flags = 0;
    std::uint16_t nFileOffset = 0;
    std::uint16_t nFileExtension = 0;
    QByteArray lpstrDefExt;
    std::intptr_t lCustData = 0;
    std::uintptr_t lpfnHook = 0;
    QByteArray lpTemplateName;
};

// The dialog functions a record is shown with.
enum class DialogFunction {
    GetOpenFileName,
    GetOpenFileNamePreview,
    GetSaveFileName,
    GetSaveFileNamePreview
};

// What a dialog does when the user chose `files` (full paths): writes the choice into the two
// buffers as C strings and, unless OFN_NOCHANGEDIR is set, makes the chosen folder the current
// directory. Several files are written as the folder, then each name, each NUL-ended. False,
// with the buffers and the current directory untouched, when the choice does not fit.
bool completeChoice(OpenFileName& record, const QStringList& files);

// The C string at the start of a buffer, decoded as a path.
QString bufferText(const QByteArray& buffer);

// Shows the dialog that `function` names for the record, modal to the window `port` speaks
// for: the system's own dialog where the record is its native form (Windows), the toolkit's
// through a request elsewhere. On a choice fills the record as completeChoice does and returns
// true; false when the user cancelled or the dialog failed.
bool callDialogFunction(DialogFunction function, OpenFileName& record,
                        platform::PlatformPort& port);

} // namespace logwarden::files
