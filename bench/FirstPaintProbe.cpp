// SPDX-License-Identifier: MIT
// Linked into the start-up figures' programs: at the first paint of the widget they watch, it
// prints the moment on the monotonic clock and quits. Built only in bench/.
#include "Monotonic.h"
#include "PaintFilter.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

#ifdef LOGWARDEN_PROBE_LOG_VIEW
#include "gui/LogView.h"
#endif

namespace {

class FirstPaintProbe : public bench::PaintFilter {
public:
    using PaintFilter::PaintFilter;

protected:
    bool watches(QWidget& widget) override {
        if (mDone) {
            return false;
        }
#if defined(LOGWARDEN_PROBE_LOG_VIEW)
        // Logwarden's text view, once the tail is in it.
        const auto* view = bench::textViewOf<logwarden::gui::LogView>(widget);
        return view != nullptr && view->lineCount() > 0;
#elif defined(LOGWARDEN_PROBE_TEXT_VIEW)
        // The minimal viewer's, likewise.
        const auto* view = bench::textViewOf<QPlainTextEdit>(widget);
        return view != nullptr && !view->document()->isEmpty();
#else
        return widget.isWindow();
#endif
    }

    void painted(QWidget&, const QRegion&) override {
        mDone = true;
        std::printf("first-paint-ns %lld\n", static_cast<long long>(bench::monotonicNs()));
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

private:
    bool mDone = false;
};

void installProbe() {
    qApp->installEventFilter(new FirstPaintProbe(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
