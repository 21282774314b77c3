// SPDX-License-Identifier: MIT
#include "gui/TextView.h"

#include <QKeyEvent>

TextView::TextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAcceptDrops(false); // drops go to the window, which opens the file
    viewport()->setAcceptDrops(false);
    setUndoRedoEnabled(false);
}

bool TextView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->ignore();
        return false;
    }
    return QPlainTextEdit::event(event);
}
