// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#include "platform/win/Windows.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <memory>
#include <string_view>

namespace logwarden::platform {
namespace {

using win::Handle;

constexpr std::int64_t LeftoverAgeSeconds = 10;
constexpr int TemporaryLetters = 6;
constexpr std::string_view TemporaryAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";

// A lock far past any byte of the file: it keeps two copies from rewriting it, or one from
// reading it while another rewrites it, at once, without keeping anyone from its bytes.
class RangeLock {
public:
    RangeLock(HANDLE file, bool exclusive) : mFile(file) {
        OVERLAPPED at{};
        at.OffsetHigh = 0x40000000;
        mLocked = ::LockFileEx(file, exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, 1, 0, &at) != 0;
    }
    RangeLock(const RangeLock&) = delete;
    RangeLock& operator=(const RangeLock&) = delete;
    RangeLock(RangeLock&&) = delete;
    RangeLock& operator=(RangeLock&&) = delete;
    ~RangeLock() {
        if (mLocked) {
            OVERLAPPED at{};
            at.OffsetHigh = 0x40000000;
            ::UnlockFileEx(mFile, 0, 1, 0, &at);
        }
    }

private:
    HANDLE mFile;
    bool mLocked = false;
};

bool isMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

QByteArray readAll(HANDLE file, qsizetype cap) {
    QByteArray bytes(cap, Qt::Uninitialized);
    DWORD got = 0;
    if (::ReadFile(file, bytes.data(), static_cast<DWORD>(cap), &got, nullptr) == 0) {
        win::throwLastError();
    }
    bytes.truncate(got);
    return bytes;
}

bool writeAll(HANDLE file, QByteArrayView bytes) {
    DWORD written = 0;
    return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
               0 &&
           written == static_cast<DWORD>(bytes.size()) && ::SetEndOfFile(file) != 0;
}

// A folder, a device, a hidden or a system file counts as absent.
QByteArray readSettingsFile(const QString& path, qsizetype cap) {
    const Handle file(win::openShared(path, GENERIC_READ, FILE_FLAG_BACKUP_SEMANTICS));
    if (!file.isOpen() && isMissing(::GetLastError())) {
        return {};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.isOpen() || ::GetFileInformationByHandle(file.get(), &info) == 0) {
        win::throwLastError();
    }
    const DWORD absent = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((info.dwFileAttributes & absent) != 0 || ::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return {};
    }
    const RangeLock lock(file.get(), false);
    return readAll(file.get(), cap);
}

QString temporaryPrefix(const QString& path) {
    return QFileInfo(path).fileName() + QStringLiteral(".tmp.");
}

bool isOurTemporaryName(QStringView name, const QString& prefix) {
    if (!name.startsWith(prefix, Qt::CaseInsensitive)) {
        return false; // the search also matches short 8.3 names
    }
    const QStringView tail = name.sliced(prefix.size());
    return tail.size() == TemporaryLetters && std::all_of(tail.begin(), tail.end(), [](QChar c) {
               return TemporaryAlphabet.find(char(c.unicode())) != std::string_view::npos;
           });
}

std::uint64_t ticksOf(FILETIME time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Only what an earlier save of this file left: named as this program names its temporary files,
// old enough, in no one's use, and empty or beginning as this save's text begins. The system
// searches by the pattern: Qt's name filters would match through a regular expression, whose
// per-thread JIT stack the static build frees through a dead pointer when the thread ends.
void removeLeftovers(const QString& path, QByteArrayView bytes) {
    const QDir folder = QFileInfo(path).dir();
    const QString prefix = temporaryPrefix(path);
    const QByteArrayView ours = bytes.first(std::min<qsizetype>(bytes.indexOf('\n') + 1, 64));
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t old = ticksOf(now) - LeftoverAgeSeconds * 10'000'000;
    WIN32_FIND_DATAW found{};
    const HANDLE first =
        ::FindFirstFileW(win::wide(folder.filePath(prefix + u'*')).c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::unique_ptr<void, decltype(&::FindClose)> search(first, ::FindClose);
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            ticksOf(found.ftLastWriteTime) > old || !isOurTemporaryName(name, prefix)) {
            continue;
        }
        const std::wstring leftoverPath = win::wide(folder.filePath(name));
        bool begunAsOurs = false;
        {
            const Handle leftover(::CreateFileW(leftoverPath.c_str(), GENERIC_READ, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            begunAsOurs =
                leftover.isOpen() && ours.startsWith(readAll(leftover.get(), ours.size()));
        }
        if (begunAsOurs) {
            ::DeleteFileW(leftoverPath.c_str());
        }
    } while (::FindNextFileW(search.get(), &found) != 0);
}

// Keeps the file itself, and its other names: put back as it was when the new text cannot be
// written whole.
void rewriteInPlace(const QString& path, QByteArrayView bytes) {
    const Handle file(win::openShared(path, GENERIC_READ | GENERIC_WRITE));
    if (!file.isOpen()) {
        win::throwLastError();
    }
    const RangeLock lock(file.get(), true);
    const QByteArray old = readAll(file.get(), qsizetype{1} << 20);
    if (writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get()) != 0) {
        return;
    }
    const DWORD error = ::GetLastError();
    writeAll(file.get(), old);
    win::throwError(error);
}

// A new file takes the old one's place in one move: a reader sees the old or the new text.
void replaceByMove(const QString& path, QByteArrayView bytes) {
    QString temporary = QFileInfo(path).dir().filePath(temporaryPrefix(path));
    for (int i = 0; i < TemporaryLetters; ++i) {
        temporary += QChar(
            TemporaryAlphabet[QRandomGenerator::global()->bounded(int(TemporaryAlphabet.size()))]);
    }
    {
        const Handle file(::CreateFileW(win::wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.isOpen()) {
            win::throwLastError();
        }
        if (!writeAll(file.get(), bytes) || ::FlushFileBuffers(file.get()) == 0) {
            const DWORD error = ::GetLastError();
            ::DeleteFileW(win::wide(temporary).c_str());
            win::throwError(error);
        }
    }
    if (::MoveFileExW(win::wide(temporary).c_str(), win::wide(path).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(win::wide(temporary).c_str());
        win::throwError(error);
    }
}

// A file with other names is rewritten in place, so that they stay; so is one in a folder that
// cannot be written.
void writeSettingsFile(const QString& path, QByteArrayView bytes) {
    removeLeftovers(path, bytes);
    bool linked = false;
    {
        const Handle file(win::openShared(path, FILE_READ_ATTRIBUTES));
        BY_HANDLE_FILE_INFORMATION info{};
        linked = file.isOpen() && ::GetFileInformationByHandle(file.get(), &info) != 0 &&
                 info.nNumberOfLinks > 1;
    }
    if (linked) {
        rewriteInPlace(path, bytes);
        return;
    }
    try {
        replaceByMove(path, bytes);
    } catch (const std::system_error& error) {
        if (error.code() != std::errc::permission_denied || !QFileInfo::exists(path)) {
            throw;
        }
        rewriteInPlace(path, bytes);
    }
}

} // namespace

QByteArray readWholeFile(const QString& name, qsizetype cap) {
    const QString path = QFileInfo(name).absoluteFilePath();
    return bounded<QByteArray>(encodeFileName(path),
                               [path, cap] { return readSettingsFile(path, cap); });
}

void writeWholeFile(const QString& name, QByteArrayView bytes) {
    const QString path = QFileInfo(name).absoluteFilePath();
    bounded<bool>(encodeFileName(path), [path, copy = bytes.toByteArray()] {
        writeSettingsFile(path, copy);
        return true;
    });
}

} // namespace logwarden::platform
