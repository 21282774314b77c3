// SPDX-License-Identifier: MIT
#pragma once

#include "gui/ViewLine.h"
#include "ui/LineStyle.h"
#include "ui/ViewText.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QStringView>
#include <QTimer>
#include <deque>
#include <optional>

namespace logwarden::gui {

// A place in the view's text: a line, and a position in what is drawn for it.
struct TextPos {
    qsizetype line = 0;
    int column = 0;
    friend bool operator==(const TextPos&, const TextPos&) = default;
    friend bool operator<(const TextPos& a, const TextPos& b) {
        return a.line < b.line || (a.line == b.line && a.column < b.column);
    }
};

// The read-only log view. It follows the end while the reader is there and keeps the lines
// read in place when lines come and go. Each line keeps its layout; an update lays out only
// the lines that came, moves the pixels of those that stayed (a blit) and paints only what the
// move left, on the next frame. The window's Copy command owns Ctrl+C: the view copies its
// selection only from its context menu.
class LogView : public QAbstractScrollArea {
public:
    explicit LogView(QWidget* parent);

    // Shows a text box's text: the file's own lines, each ending in CR LF.
    void showText(const QString& text);
    // Styles every line again; each line that comes later is styled as it comes.
    void setLineStyler(ui::LineStyler styler);

    qsizetype lineCount() const { return qsizetype(mLines.size()); }
    const QString& lineText(qsizetype line) const { return mLines.at(size_t(line)).text(); }
    // The lines as drawn, joined by LF.
    QString toPlainText() const;
    qsizetype topLine() const;
    // Where the line is drawn in the viewport; outside it when out of view.
    QRect lineRect(qsizetype line) const;

    TextPos anchor() const { return mAnchor; }
    TextPos caret() const { return mCaret; }
    bool hasSelection() const { return mAnchor != mCaret; }
    void setSelection(TextPos anchor, TextPos caret);
    void selectAll();
    // The selection as drawn, lines joined by CR LF.
    QString selectedText() const;

    // Characters laid out over all lines: a long line is laid out only as far as it was seen.
    qsizetype laidOutLength() const;
    // The lines the last paint drew whole: the first, and how many.
    std::pair<qsizetype, qsizetype> lastPainted() const { return mPainted; }

    // For the accessibility interface: a place as an offset into toPlainText(), and back.
    int offsetOf(TextPos pos) const;
    TextPos posOf(int offset) const;
    // Where a character is drawn, in the viewport; and the place at a point of the viewport.
    QRect characterRect(TextPos pos);
    TextPos posAt(QPoint point);
    void ensureVisible(TextPos pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ViewLine makeLine(QStringView raw) const;
    LineFont lineFont() const;
    int pageLines() const;
    bool atEnd() const;
    void updateMetrics();
    void updateRanges(bool keepEnd);
    void showMoved();
    void keepSelection(const QList<QStringView>& next, const ui::LineChange& change);
    void moveCaret(QKeyEvent& event);
    void selectWordAt(TextPos pos);
    void copySelection() const;
    void selectionChanged();
    std::pair<int, int> selectedColumns(qsizetype line) const;

    QString mText;
    QList<QStringView> mRaw; // into mText: the file's own lines, one for each of mLines
    std::deque<ViewLine> mLines;
    ui::LineStyler mStyler;
    quint64 mFirstSerial = 0; // of the first line: lines are numbered as they come
    quint64 mNextSerial = 0;
    // What the pixels on screen show: the serial of the top line and the column in pixels.
    quint64 mShownTop = 0;
    int mShownX = 0;
    bool mRedrawAll = true;
    bool mUpdating = false;
    int mPitch = 1;
    int mAscent = 0;
    qreal mCell = 1;
    TextPos mAnchor;
    TextPos mCaret;
    std::pair<qsizetype, qsizetype> mPainted{0, 0};
    QTimer mWiden; // after a paint that found a line wider than the scroll bar knew
};

} // namespace logwarden::gui
