// SPDX-License-Identifier: MIT
// Linked into the start-up figures' programs: at the first paint of the widget they watch, it
// prints the moment on the monotonic clock and quits. Built only in bench/.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

bool isWatched(QWidget& widget) {
#ifdef LOGWARDEN_PROBE_TEXT_VIEW
    // The text view, once the tail is in it.
    const auto* view = qobject_cast<const QPlainTextEdit*>(widget.parentWidget());
    return view != nullptr && view->viewport() == &widget && !view->document()->isEmpty();
#else
    return widget.isWindow();
#endif
}

class FirstPaintProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (mDone || event->type() != QEvent::Paint || !watched->isWidgetType() ||
            !isWatched(*static_cast<QWidget*>(watched))) {
            return false;
        }
        mDone = true;
        watched->event(event); // the paint itself is part of the figure
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("first-paint-ns %lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return true;
    }

private:
    bool mDone = false;
};

void installProbe() {
    qApp->installEventFilter(new FirstPaintProbe(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
