// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"
#include "platform/System.h"
#include "platform/SystemText.h"
#include "platform/win/Windows.h"

#include <memory>
#include <optional>
#include <utility>

namespace logwarden::platform {

void startDetachedThread(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const HANDLE thread = ::CreateThread(
        nullptr, 0,
        [](LPVOID work) -> DWORD {
            const std::unique_ptr<std::function<void()>> run(
                static_cast<std::function<void()>*>(work));
            (*run)();
            return 0;
        },
        owned.get(), 0, nullptr);
    if (thread == nullptr) {
        win::throwLastError();
    }
    owned.release(); // the thread's now
    ::CloseHandle(thread);
}

QString localFileOf(const QUrl& url) {
    return url.toLocalFile();
}

// A program of the window subsystem has no standard output of its own: a console it was
// started from is taken for one.
void writeText(const QString& text, bool toError) {
    const DWORD which = toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    HANDLE out = ::GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        ::AttachConsole(ATTACH_PARENT_PROCESS);
        out = ::GetStdHandle(which);
    }
    DWORD written = 0;
    const std::wstring wideText = win::wide(text);
    if (::WriteConsoleW(out, wideText.c_str(), DWORD(wideText.size()), &written, nullptr) == 0) {
        const QByteArray bytes = encodeSystemText(text); // redirected to a file or a pipe
        ::WriteFile(out, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
    }
}

// The text after the program's name as the system keeps it, so that quotes reach the program as
// they were given.
QString argumentText(int /*argc*/, char** /*argv*/) {
    const QString line = QString::fromWCharArray(::GetCommandLineW());
    qsizetype at = 0;
    if (line.startsWith(u'"')) {
        at = line.indexOf(u'"', 1);
        at = at < 0 ? line.size() : at + 1;
    }
    while (at < line.size() && line[at] != u' ' && line[at] != u'\t') {
        ++at;
    }
    while (at < line.size() && (line[at] == u' ' || line[at] == u'\t')) {
        ++at;
    }
    return line.sliced(at);
}

// A program path with a blank is quoted, or the new copy would take its rest for the argument.
void startDetached(const QString& program, const QStringList& arguments, StartShow show) {
    QString line = program.contains(u' ') ? u'"' + program + u'"' : program;
    for (const QString& argument : arguments) {
        line += u' ' + argument;
    }
    std::wstring command = win::wide(line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show == StartShow::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &process) == 0) {
        win::throwLastError();
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

std::optional<StartShow> takeStartShow() {
    static bool taken = false;
    if (std::exchange(taken, true)) {
        return std::nullopt;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0) {
        return std::nullopt;
    }
    if (startup.wShowWindow == SW_SHOWMAXIMIZED) {
        return StartShow::Maximized;
    }
    return startup.wShowWindow == SW_SHOWNORMAL ? std::optional(StartShow::Normal) : std::nullopt;
}

} // namespace logwarden::platform
