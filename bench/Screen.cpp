// SPDX-License-Identifier: MIT
#include "Screen.h"

#include "NewestLine.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace bench {
namespace {

constexpr std::int64_t secondNs = 1'000'000'000;

std::uint64_t fnv1a(const std::vector<std::uint32_t>& pixels) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const std::uint32_t pixel : pixels) {
        hash = (hash ^ pixel) * 1099511628211ULL;
    }
    return hash;
}

// The window as it was read, the rows found framed in red.
void savePicture(const std::vector<std::uint32_t>& pixels, QSize size,
                 const std::optional<QRect>& rows, const QString& file) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            picture.setPixel(x, y,
                             pixels[std::size_t(y) * std::size_t(size.width()) + std::size_t(x)]);
        }
    }
    if (rows) {
        QPainter painter(&picture);
        painter.setPen(Qt::red);
        painter.drawRect(rows->adjusted(-1, -1, 0, 0));
    }
    picture.save(file);
}

} // namespace

AppendedLog::AppendedLog(const QString& path)
    : mFd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC)) {
    if (mFd < 0) {
        throw std::runtime_error("cannot open the log for appending");
    }
}

AppendedLog::~AppendedLog() {
    ::close(mFd);
}

std::int64_t AppendedLog::append() {
    const QByteArray line = Lines::text(mNext);
    const std::int64_t at = monotonicNs();
    if (::write(mFd, line.constData(), std::size_t(line.size())) != line.size()) {
        throw std::runtime_error("short write to the log");
    }
    ++mNext;
    return at;
}

Screen::Screen(XDisplay& display, xcb_window_t window, const AppendedLog& log)
    : mDisplay(display), mWindow(window), mLog(log) {
    mDisplay.watchDrawing(window);
}

Screen::~Screen() {
    mDisplay.stopWatching();
}

// The moment taken is when the notice is read: the server sends it once the drawing is done.
bool Screen::readOnce(std::int64_t untilNs) {
    std::vector<XDisplay::Drawn> drawn = mDisplay.takeDrawn();
    std::int64_t now = monotonicNs();
    if (drawn.empty()) {
        // Wakes now and then, so that the caller's condition is seen in time.
        const std::int64_t left = std::min<std::int64_t>(untilNs - now, 5'000'000);
        if (left <= 0) {
            return false;
        }
        pollfd fd{mDisplay.descriptor(), POLLIN, 0};
        const timespec timeout{left / secondNs, left % secondNs};
        if (::ppoll(&fd, 1, &timeout, nullptr) <= 0) {
            return true;
        }
        drawn = mDisplay.takeDrawn();
        now = monotonicNs();
    }
    if (!drawn.empty()) {
        mLastDrawn = now;
        if (mRows && std::any_of(drawn.begin(), drawn.end(), [&](const XDisplay::Drawn& d) {
                return d.window == mWindow && d.area.intersects(*mRows);
            })) {
            readRows(now);
        }
    }
    return now < untilNs;
}

void Screen::readRows(std::int64_t at) {
    const std::vector<std::uint32_t> pixels = mDisplay.pixels(mWindow, *mRows);
    const std::uint64_t hash = fnv1a(pixels);
    if (hash != mHash) {
        mHash = hash;
        mChanges.push_back({at, inkEnd(pixels, mRows->width()), hash, mLog.newest()});
    }
}

void Screen::findNewestLine(std::int64_t quietNs, const QString& pictureFile) {
    const std::int64_t start = monotonicNs();
    mLastDrawn = 0;
    pump(start + 20 * secondNs,
         [&] { return mLastDrawn > start && monotonicNs() - mLastDrawn >= quietNs; });
    if (mLastDrawn <= start) {
        throw std::runtime_error("nothing drawn after the first line");
    }
    const QSize size = mDisplay.size(mWindow);
    const auto all = mDisplay.pixels(mWindow, QRect(QPoint(), size));
    mRows = newestLineIn(all, size.width());
    if (!pictureFile.isEmpty()) {
        savePicture(all, size, mRows, pictureFile);
    }
    if (!mRows) {
        throw std::runtime_error("no line on screen");
    }
    const std::vector<std::uint32_t> pixels = mDisplay.pixels(mWindow, *mRows);
    mHash = fnv1a(pixels);
}

int Screen::inkEndNow() {
    return inkEnd(mDisplay.pixels(mWindow, *mRows), mRows->width());
}

} // namespace bench
