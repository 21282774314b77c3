// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#include "platform/win/Windows.h"

#include <optional>

namespace logwarden::platform {
namespace {

using win::Handle;

// Ticks of 100 ns since 1601, the system's file time, to the time since 1970.
DateTime fromFileTime(FILETIME time) {
    constexpr std::int64_t ticksPerSecond = 10'000'000;
    constexpr std::int64_t secondsFrom1601To1970 = 11'644'473'600;
    const std::int64_t ticks =
        (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return {ticks / ticksPerSecond - secondsFrom1601To1970,
            static_cast<std::int32_t>(ticks % ticksPerSecond * 100)};
}

// Links followed: the file a path leads to, opened only to be asked about.
BY_HANDLE_FILE_INFORMATION informationOf(const QString& path, bool& disk) {
    const Handle file(win::openShared(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.isOpen() || ::GetFileInformationByHandle(file.get(), &info) == 0) {
        win::throwLastError();
    }
    disk = ::GetFileType(file.get()) == FILE_TYPE_DISK;
    return info;
}

bool isFolder(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::int64_t sizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

} // namespace

std::optional<bool> isOnLocalFileSystem(const QByteArray& nativePath) {
    const QString path = decodeFileName(nativePath);
    if (path.startsWith(QLatin1String("\\\\")) && !path.startsWith(QLatin1String("\\\\?\\")) &&
        !path.startsWith(QLatin1String("\\\\.\\"))) {
        return false; // \\server\share
    }
    wchar_t volume[MAX_PATH + 1] = {};
    if (::GetVolumePathNameW(win::wide(path).c_str(), volume, MAX_PATH) == 0) {
        return std::nullopt;
    }
    switch (::GetDriveTypeW(volume)) {
    case DRIVE_FIXED:
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
        return true;
    default: // a network drive, or one the system cannot tell
        return false;
    }
}

FileStamp queryFile(const QString& path) {
    bool disk = false;
    const BY_HANDLE_FILE_INFORMATION info = informationOf(path, disk);
    if (isFolder(info)) {
        constexpr DWORD notForFolders = 336; // ERROR_DIRECTORY_NOT_SUPPORTED
        win::throwError(notForFolders);
    }
    return {fromFileTime(info.ftLastWriteTime), disk ? sizeOf(info) : 0,
            FileId{info.dwVolumeSerialNumber,
                   (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow}};
}

// Hidden and system files count as missing, as a directory search without their attributes
// does not find them.
bool isRegularFile(const QString& path) noexcept {
    if (path.isEmpty()) {
        return false;
    }
    try {
        const QByteArray key = encodeFileName(path);
        return boundedUnlessLocal<bool>(key, [path] {
            bool disk = false;
            const BY_HANDLE_FILE_INFORMATION info = informationOf(path, disk);
            return disk && !isFolder(info) &&
                   (info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
        });
    } catch (const std::exception&) {
        return false;
    }
}

QByteArray readAt(const QString& path, std::int64_t offset, std::int64_t length) {
    const Handle file(win::openShared(path, GENERIC_READ));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.isOpen() || ::GetFileInformationByHandle(file.get(), &info) == 0) {
        win::throwLastError();
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || offset < 0 || length <= 0) {
        return {};
    }
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        OVERLAPPED at{};
        const std::int64_t position = offset + got;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        DWORD n = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<qsizetype>(bytes.size() - got, 1 << 30));
        if (::ReadFile(file.get(), bytes.data() + got, wanted, &n, &at) == 0) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            win::throwLastError();
        }
        if (n == 0) {
            break; // the file shrank since its length was taken
        }
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

} // namespace logwarden::platform
