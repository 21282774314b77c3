// SPDX-License-Identifier: MIT
#include "gui/TextView.h"

#include "ui/ViewText.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>

namespace logwarden::gui {

namespace {

QString displayText(const QList<QStringView>& lines, qsizetype from) {
    QString text;
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (i > from) {
            text += u'\n';
        }
        text += ui::displayLine(lines[i]);
    }
    return text;
}

struct Selection {
    qsizetype firstLine = 0;
    qsizetype lineCount = 0;
    int anchorColumn = 0;
    int positionColumn = 0;
    bool anchorFirst = true;
};

std::optional<Selection> selectionOf(const QTextCursor& cursor) {
    if (!cursor.hasSelection()) {
        return std::nullopt;
    }
    const QTextDocument& doc = *cursor.document();
    const QTextBlock anchor = doc.findBlock(cursor.anchor());
    const QTextBlock position = cursor.block();
    const bool anchorFirst = cursor.anchor() < cursor.position();
    const int first = anchorFirst ? anchor.blockNumber() : position.blockNumber();
    const int last = anchorFirst ? position.blockNumber() : anchor.blockNumber();
    return Selection{first, last - first + 1, cursor.anchor() - anchor.position(),
                     cursor.position() - position.position(), anchorFirst};
}

} // namespace

TextView::TextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAcceptDrops(false); // drops go to the window, which opens the file
    viewport()->setAcceptDrops(false);
    setUndoRedoEnabled(false);
    // No margin in the document: with one, the last line is taller than the others by it, and
    // lines appended one by one were scrolled by the wrong height, leaving stale pixels. The
    // room beside the text is the view's own, painted in the text's background.
    document()->setDocumentMargin(0);
    setViewportMargins(4, 2, 0, 0);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    // A block's layout forgets its shaped glyphs once laid out, and shapes again for every paint
    // and every cursor that asks where a position is, most of a refresh's cost on long lines.
    // Each new block keeps them: it is told before the document's layout lays it out.
    connect(document(), &QTextDocument::contentsChange, this, [this](int from, int, int added) {
        for (QTextBlock block = document()->findBlock(from);
             block.isValid() && block.position() <= from + added; block = block.next()) {
            block.layout()->setCacheEnabled(true);
        }
    });
    // The reader at the end stays there when the view's size or the text size change. Whether
    // the reader was there is read off the range before it changed: the view moves its scroll
    // bar without telling (paging, bringing the caret into view), so no flag could follow it.
    QScrollBar* bar = verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        const bool atEnd = bar->value() == mMaximum;
        mMaximum = maximum;
        if (atEnd && !mReplacing) {
            bar->setValue(maximum);
        }
    });
}

void TextView::showText(const QString& text) {
    QString nextText = text;
    const QList<QStringView> next = ui::splitLines(nextText);
    const ui::LineChange change = ui::lineChange(mLines, next);
    const std::optional<Selection> selection = selectionOf(textCursor());
    const qsizetype topLine = firstVisibleBlock().blockNumber();
    const int column = horizontalScrollBar()->value();
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();

    mReplacing = true;
    const qsizetype added = next.size() - change.kept;
    if (change.kept == 0 || document()->isEmpty()) {
        edit([&](QTextCursor& cursor) {
            cursor.select(QTextCursor::Document);
            cursor.insertText(displayText(next, 0));
        });
    } else if (added * fontMetrics().lineSpacing() <= viewport()->height()) {
        // A few lines came: the view's own log path appends each and, with a block limit one
        // short, drops the first line in the same step; it keeps what is shown in place and
        // repaints only what moved, not the whole view.
        dropFirstLines(std::max<qsizetype>(0, change.dropped - added));
        qsizetype drops = std::min(change.dropped, added);
        for (qsizetype i = change.kept; i < next.size(); ++i) {
            document()->setMaximumBlockCount(drops-- > 0 ? document()->blockCount() : 0);
            appendPlainText(ui::displayLine(next[i]));
        }
        document()->setMaximumBlockCount(0);
    } else {
        // A screenful or more came: all that is shown changes anyway. Two edits, not one, so
        // that each lays out only the lines it touches.
        dropFirstLines(change.dropped);
        edit([&](QTextCursor& cursor) {
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(u'\n' + displayText(next, change.kept));
        });
    }

    // Edits carry a selection along with its text, except that one reaching the end grows with
    // the lines appended there and one whose lines left keeps what is left: the same lines stay
    // selected, or none.
    const std::optional<qsizetype> selected =
        selection ? ui::findLines(mLines, next, change, selection->firstLine, selection->lineCount)
                  : std::nullopt;
    QTextCursor kept = textCursor();
    if (selected) {
        const QTextBlock first = document()->findBlockByNumber(static_cast<int>(*selected));
        const QTextBlock last =
            document()->findBlockByNumber(static_cast<int>(*selected + selection->lineCount - 1));
        const QTextBlock& anchor = selection->anchorFirst ? first : last;
        const QTextBlock& position = selection->anchorFirst ? last : first;
        kept.setPosition(anchor.position() + selection->anchorColumn);
        kept.setPosition(position.position() + selection->positionColumn, QTextCursor::KeepAnchor);
    } else {
        kept.clearSelection();
    }
    if (kept.anchor() != textCursor().anchor() || kept.position() != textCursor().position()) {
        setTextCursor(kept); // its scroll is undone below
    }

    std::optional<qsizetype> top;
    if (!atEnd) {
        top = ui::findLines(mLines, next, change, topLine);
        if (!top && change.kept > 0) {
            top = 0; // the line read left at the top: the oldest one left was next to it
        }
    }
    mText = std::move(nextText);
    mLines = next;
    scrollTo(top, column);
    mReplacing = false;
}

void TextView::dropFirstLines(qsizetype count) {
    if (count > 0) {
        edit([&](QTextCursor& cursor) {
            cursor.setPosition(document()->findBlockByNumber(static_cast<int>(count)).position(),
                               QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        });
    }
}

// Through the document's own cursor, not the view's, which would scroll its caret into view;
// as one edit, so that no cursor asks where its position is until the document's layout has
// seen the whole change.
void TextView::edit(const std::function<void(QTextCursor&)>& change) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    change(cursor);
    cursor.endEditBlock();
}

// The top line the reader had, or the end; the same column.
void TextView::scrollTo(std::optional<qsizetype> topLine, int column) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(topLine
                      ? document()->findBlockByNumber(static_cast<int>(*topLine)).firstLineNumber()
                      : bar->maximum());
    mMaximum = bar->maximum();
    horizontalScrollBar()->setValue(column);
}

bool TextView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->ignore();
        return false;
    }
    return QPlainTextEdit::event(event);
}

// The first show brings the caret into view, which would move the reader.
void TextView::showEvent(QShowEvent* event) {
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    const qsizetype topLine = firstVisibleBlock().blockNumber();
    const int column = horizontalScrollBar()->value();
    mReplacing = true;
    QPlainTextEdit::showEvent(event);
    scrollTo(atEnd ? std::nullopt : std::optional(topLine), column);
    mReplacing = false;
}

} // namespace logwarden::gui
