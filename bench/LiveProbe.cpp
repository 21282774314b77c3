// SPDX-License-Identifier: MIT
// Built into a copy of the program for the live figures. Once the tail is on screen it makes
// the window 800 x 600, so that the view has room for all 20 lines, and starts monitoring
// through the menu, as a user would. After every paint of the text view it prints the moment,
// on the monotonic clock, and the appended lines ("live=N") that the paint drew whole for the
// first time:
//   monitoring NS
//   painted NS N...
#include "Monotonic.h"
#include "PaintFilter.h"
#include "gui/LogView.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace {

using logwarden::gui::LogView;

// N from a line holding "live=N", or -1.
long long liveNumber(const QString& line) {
    const qsizetype at = line.lastIndexOf(QLatin1String("live="));
    if (at < 0) {
        return -1;
    }
    bool ok = false;
    const long long n = QStringView(line).sliced(at + 5).toLongLong(&ok);
    return ok ? n : -1;
}

class LiveProbe : public bench::PaintFilter {
public:
    using PaintFilter::PaintFilter;

protected:
    bool watches(QWidget& widget) override { return bench::textViewOf<LogView>(widget) != nullptr; }

    void painted(QWidget& viewport, const QRegion&) override {
        const std::int64_t now = bench::monotonicNs();
        const LogView& view = *bench::textViewOf<LogView>(viewport);
        if (!mStarting) {
            if (view.lineCount() > 0) {
                mStarting = true;
                QTimer::singleShot(0, this, &LiveProbe::settle);
            }
            return;
        }
        // The newest lines are last: walk back over those the paint drew whole to the last one
        // reported.
        std::string fresh;
        long long newest = mReported;
        const auto [first, count] = view.lastPainted();
        for (qsizetype i = first + count - 1; i >= first && i >= 0; --i) {
            const long long n = liveNumber(view.lineText(i));
            if (n < 0) {
                continue;
            }
            if (n <= mReported) {
                break;
            }
            fresh += ' ' + std::to_string(n);
            newest = std::max(newest, n);
        }
        if (!fresh.empty()) {
            mReported = newest;
            std::printf("painted %lld%s\n", static_cast<long long>(now), fresh.c_str());
            std::fflush(stdout);
        }
    }

private:
    // The window manager may still be placing the window and undo an early resize: this waits
    // until the window is active, and until it has kept 800 x 600 for a few ticks.
    void settle() {
        const auto [window, start] = startCommand();
        if (start == nullptr) {
            return fail("no enabled 開始(&S) command");
        }
        if (++mTicks > 300) {
            return fail("the window would not stay 800 x 600");
        }
        if (!window->isActiveWindow() && mTicks < 20) {
            QTimer::singleShot(100, this, &LiveProbe::settle);
            return;
        }
        if (window->size() != QSize(800, 600)) {
            window->resize(800, 600);
            mSteady = 0;
        } else if (++mSteady == 3) {
            start->trigger();
            std::printf("monitoring %lld\n", static_cast<long long>(bench::monotonicNs()));
            std::fflush(stdout);
            return;
        }
        QTimer::singleShot(100, this, &LiveProbe::settle);
    }

    // The menus are windows of their own too: the main window is the one to resize.
    static std::pair<QWidget*, QAction*> startCommand() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* window = qobject_cast<QMainWindow*>(widget);
            if (window == nullptr) {
                continue;
            }
            for (QAction* action : window->findChildren<QAction*>()) {
                if (action->text() == QStringLiteral("開始(&S)") && action->isEnabled()) {
                    return {window, action};
                }
            }
        }
        return {nullptr, nullptr};
    }

    static void fail(const char* why) {
        std::fprintf(stderr, "live probe: %s\n", why);
        QCoreApplication::exit(3);
    }

    bool mStarting = false;
    int mTicks = 0;
    int mSteady = 0;
    long long mReported = -1;
};

void installProbe() {
    qApp->installEventFilter(new LiveProbe(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
