// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>
#include <system_error>
#include <windows.h>

// What the Windows back-end shares: the system's errors and its wide strings.
namespace logwarden::platform::win {

// The system's error codes, described as the system words them (in its code page, as the
// program shows them); the codes of a missing file or a denied access compare equal to their
// portable conditions (std::errc::no_such_file_or_directory, ...).
const std::error_category& systemCategory();

[[noreturn]] inline void throwError(DWORD code) {
    throw std::system_error(static_cast<int>(code), systemCategory());
}

[[noreturn]] inline void throwLastError() {
    throwError(::GetLastError());
}

inline std::wstring wide(const QString& text) {
    return text.toStdWString();
}

// A handle closed on every way out.
class Handle {
public:
    explicit Handle(HANDLE handle) : mHandle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&&) = delete;
    Handle& operator=(Handle&&) = delete;
    ~Handle() {
        if (isOpen()) {
            ::CloseHandle(mHandle);
        }
    }
    HANDLE get() const { return mHandle; }
    bool isOpen() const { return mHandle != INVALID_HANDLE_VALUE && mHandle != nullptr; }

private:
    HANDLE mHandle;
};

// Opens for reading without keeping any other program from writing, renaming or deleting it.
inline HANDLE openShared(const QString& path, DWORD access, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    return ::CreateFileW(wide(path).c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, flags, nullptr);
}

} // namespace logwarden::platform::win
