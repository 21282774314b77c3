// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QPaintEvent>

// An application-wide filter that hears of a watched widget's paint once it has run, with
// everything the widget draws in it. For the probes built into bench-only programs.
namespace bench {

// The text view whose viewport, the widget that draws its lines, is `widget`.
template <class View> View* textViewOf(QWidget& widget) {
    auto* view = dynamic_cast<View*>(widget.parentWidget());
    return view != nullptr && view->viewport() == &widget ? view : nullptr;
}

class PaintFilter : public QObject {
public:
    using QObject::QObject;

protected:
    virtual bool watches(QWidget& widget) = 0;
    virtual void painted(QWidget& widget, const QRegion& region) = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (mInside || event->type() != QEvent::Paint || !watched->isWidgetType() ||
            !watches(*static_cast<QWidget*>(watched))) {
            return false;
        }
        // A text view draws through its scroll area's filter on the viewport: the event is sent
        // on whole, since calling the viewport's event() would skip that filter and draw nothing.
        mInside = true;
        QCoreApplication::sendEvent(watched, event);
        mInside = false;
        painted(*static_cast<QWidget*>(watched), static_cast<QPaintEvent*>(event)->region());
        return true;
    }

private:
    bool mInside = false;
};

} // namespace bench
