// SPDX-License-Identifier: MIT
#pragma once

#include "ChildProcess.h"
#include "XDisplay.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

// The programs that follow the log on the display, each started as its user would start it.
namespace bench {

enum class ViewerKind { Logwarden, Terminal, MinimalQt, BareX };
inline constexpr ViewerKind viewerKinds[]{ViewerKind::Logwarden, ViewerKind::Terminal,
                                          ViewerKind::MinimalQt, ViewerKind::BareX};
const char* viewerName(ViewerKind kind);
const char* columnName(ViewerKind kind); // ten characters at most
// Another build of the program to measure in place of this tree's release build.
void useLogwarden(const QByteArray& program);
const QByteArray& logwardenProgram();

// Writes the settings Logwarden reads from the current folder: LF line ends, 20 lines, and the
// background colour the pixel readers look for.
void writeLogwardenSettings();

// A viewer running on the display, its window about 800 x 600 and following `log`, with the
// tail of the file on screen. Logwarden is in the current folder, focused, and started
// monitoring through its shortcut. Killed with the object.
class Viewer {
public:
    Viewer(ViewerKind kind, XDisplay& display, const QString& log, const QString& errorFile);

    ViewerKind kind() const { return mKind; }
    xcb_window_t window() const { return mWindow; }
    // Its process and their children: a terminal's work is split with the program in it.
    std::vector<pid_t> processes() const;
    pid_t pid() const { return mProcess->pid(); }
    QByteArray errorText() const { return mProcess->errorText(); }

private:
    void waitForWindow(XDisplay& display);
    void startMonitoring(XDisplay& display) const;

    ViewerKind mKind;
    std::unique_ptr<ChildProcess> mProcess;
    xcb_window_t mWindow = 0;
};

// utime + stime of the processes, in clock ticks.
std::int64_t cpuTicks(const std::vector<pid_t>& pids);
// VmHWM and VmRSS from /proc/PID/status, in KiB.
std::pair<std::int64_t, std::int64_t> memoryKiB(pid_t pid);

// The body of a screen runner's main(): runs `figures` on the X display (through xcb) in a
// temporary folder made current, as Logwarden reads its settings from there. The exit status:
// 0 when `figures` held, 1 when they did not or could not run (`what` names them then).
int runOnDisplay(const char* what, const std::function<bool(const QString& folder)>& figures);

} // namespace bench
