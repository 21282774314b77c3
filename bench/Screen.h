// SPDX-License-Identifier: MIT
#pragma once

#include "Monotonic.h"
#include "XDisplay.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace bench {

// The log the viewers follow, appended to one whole line at a time.
class AppendedLog {
public:
    explicit AppendedLog(const QString& path);
    ~AppendedLog();
    AppendedLog(const AppendedLog&) = delete;
    AppendedLog& operator=(const AppendedLog&) = delete;

    // Appends the next line in one write(2) and returns the moment just before it.
    std::int64_t append();
    long long newest() const { return mNext - 1; }

private:
    int mFd;
    long long mNext = 0;
};

// One viewer's window as the runner sees it: the moments it was drawn on, and every change of
// the rows where its newest line is drawn.
class Screen {
public:
    struct Change {
        std::int64_t at;         // when the runner heard of the drawing
        int inkEnd;              // see NewestLine.h
        std::uint64_t hash;      // of the rows' pixels
        long long newestWritten; // the newest line written when the pixels were read
    };

    Screen(XDisplay& display, xcb_window_t window, const AppendedLog& log);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    // Hears of the drawing until the moment, or until `done` holds.
    template <class Done> void pump(std::int64_t untilNs, Done done) {
        while (!done() && readOnce(untilNs)) {
        }
    }
    void pump(std::int64_t untilNs) {
        pump(untilNs, [] { return false; });
    }
    // Waits until nothing was drawn for `quietNs`, then finds the newest line's rows; saves
    // the window with the rows framed to `pictureFile`, if one is named.
    void findNewestLine(std::int64_t quietNs, const QString& pictureFile);
    // The newest line's ink end now.
    int inkEndNow();

    const std::vector<Change>& changes() const { return mChanges; }
    std::int64_t lastDrawn() const { return mLastDrawn; }

private:
    bool readOnce(std::int64_t untilNs);
    void readRows(std::int64_t at);

    XDisplay& mDisplay;
    xcb_window_t mWindow;
    const AppendedLog& mLog;
    std::optional<QRect> mRows;
    std::uint64_t mHash = 0;
    std::int64_t mLastDrawn = 0;
    std::vector<Change> mChanges;
};

} // namespace bench
