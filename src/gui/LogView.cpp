// SPDX-License-Identifier: MIT
#include "gui/LogView.h"

#include "gui/LogViewAccessible.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>

namespace logwarden::gui {

namespace {

QColor toQColor(ui::Color c) {
    return {c.red, c.green, c.blue};
}

// The boundary of `type` next to `column`, or the line's start or end.
int boundary(const QString& text, int column, QTextBoundaryFinder::BoundaryType type,
             bool forward) {
    QTextBoundaryFinder finder(type, text);
    finder.setPosition(column);
    const qsizetype at = forward ? finder.toNextBoundary() : finder.toPreviousBoundary();
    return at < 0 ? (forward ? int(text.size()) : 0) : int(at);
}

} // namespace

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
    installLogViewAccessibility();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(false); // drops go to the window, which opens the file
    viewport()->setAcceptDrops(false);
    viewport()->setCursor(Qt::IBeamCursor);
    // The room beside the text is the view's own, in the text's background.
    setViewportMargins(4, 2, 0, 0);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    mWiden.setSingleShot(true);
    connect(&mWiden, &QTimer::timeout, this, [this] { updateRanges(false); });
    updateMetrics();
}

void LogView::showText(const QString& text) {
    QString nextText = text;
    const QList<QStringView> next = ui::splitLines(nextText);
    const ui::LineChange change = ui::lineChange(mRaw, next);
    const bool wasAtEnd = atEnd();
    std::optional<qsizetype> top;
    if (!wasAtEnd) {
        top = ui::findLines(mRaw, next, change, topLine());
        if (!top && change.kept > 0) {
            top = 0; // the line read left at the top: the oldest one left was next to it
        }
    }
    keepSelection(next, change);
    const QString before = QAccessible::isActive() ? toPlainText() : QString();

    mUpdating = true;
    if (change.kept == 0) {
        mLines.clear();
        mFirstSerial = mNextSerial;
        mRedrawAll = true;
    } else {
        mLines.erase(mLines.begin(), mLines.begin() + change.dropped);
        mFirstSerial += quint64(change.dropped - change.fresh);
        for (qsizetype i = change.fresh; i-- > 0;) {
            mLines.push_front(makeLine(next[i]));
        }
    }
    const qsizetype added = change.fresh + change.kept;
    for (qsizetype i = added; i < next.size(); ++i) {
        mLines.push_back(makeLine(next[i]));
        ++mNextSerial;
    }
    mText = std::move(nextText);
    mRaw = next;
    setSelection(mAnchor, mCaret); // within the lines left
    updateRanges(false);
    verticalScrollBar()->setValue(top ? int(*top) : verticalScrollBar()->maximum());
    mUpdating = false;
    showMoved();
    // The lines that came, where they show: the move above left their rows as they were.
    for (qsizetype i = topLine(); i < lineCount() && lineRect(i).top() < viewport()->height();
         ++i) {
        if (i < change.fresh || i >= added) {
            viewport()->update(lineRect(i));
        }
    }
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, before, toPlainText());
        QAccessible::updateAccessibility(&event);
    }
}

void LogView::setLineStyler(ui::LineStyler styler) {
    mStyler = std::move(styler);
    for (std::size_t i = 0; i < mLines.size(); ++i) {
        mLines[i].setStyle(mStyler ? mStyler(mRaw[qsizetype(i)]) : ui::LineStyle{});
    }
    viewport()->update();
}

ViewLine LogView::makeLine(QStringView raw) const {
    return {ui::displayLine(raw), mStyler ? mStyler(raw) : ui::LineStyle{}};
}

LineFont LogView::lineFont() const {
    return {font(), viewport(), mCell};
}

QString LogView::toPlainText() const {
    QString text;
    for (const ViewLine& line : mLines) {
        text += line.text() + u'\n';
    }
    text.chop(1);
    return text;
}

qsizetype LogView::topLine() const {
    return verticalScrollBar()->value();
}

QRect LogView::lineRect(qsizetype line) const {
    return {0, int(line - topLine()) * mPitch, viewport()->width(), mPitch};
}

int LogView::pageLines() const {
    return std::max(1, viewport()->height() / mPitch);
}

bool LogView::atEnd() const {
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

qsizetype LogView::laidOutLength() const {
    qsizetype sum = 0;
    for (const ViewLine& line : mLines) {
        sum += line.laidOut();
    }
    return sum;
}

void LogView::updateMetrics() {
    const QFontMetrics metrics(font());
    mPitch = std::max(1, metrics.height());
    mAscent = metrics.ascent();
    mCell = std::max(1.0, QFontMetricsF(font()).horizontalAdvance(u'x'));
    for (ViewLine& line : mLines) {
        line.forgetLayout();
    }
    mRedrawAll = true;
}

// The scroll bars' ranges for the lines and the room; a reader at the end stays there if
// `keepEnd`.
void LogView::updateRanges(bool keepEnd) {
    const bool wasAtEnd = keepEnd && atEnd();
    QScrollBar* lines = verticalScrollBar();
    lines->setRange(0, std::max(0, int(lineCount()) - pageLines()));
    lines->setPageStep(pageLines());
    qreal widest = 0;
    for (const ViewLine& line : mLines) {
        widest = std::max(widest, line.width(mCell));
    }
    QScrollBar* columns = horizontalScrollBar();
    const int room = viewport()->width();
    columns->setRange(0, std::max(0, int(std::ceil(widest + mCell)) - room));
    columns->setPageStep(room);
    columns->setSingleStep(int(std::ceil(2 * mCell)));
    if (wasAtEnd) {
        lines->setValue(lines->maximum());
    }
}

// Moves the pixels on screen to where the lines they show are now, by a blit: Qt then paints
// only the strip the move uncovered, on the next frame.
void LogView::showMoved() {
    const quint64 top = mFirstSerial + quint64(topLine());
    const int x = horizontalScrollBar()->value();
    const qint64 dy = (qint64(mShownTop) - qint64(top)) * mPitch;
    const int dx = mShownX - x;
    if (mRedrawAll || std::abs(dy) >= viewport()->height() || std::abs(dx) >= viewport()->width()) {
        viewport()->update();
    } else if (dx != 0 || dy != 0) {
        viewport()->scroll(dx, int(dy));
    }
    mShownTop = top;
    mShownX = x;
    mRedrawAll = false;
}

void LogView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    if (!mUpdating) {
        showMoved();
    }
}

void LogView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateRanges(true);
}

void LogView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMetrics();
        updateRanges(true);
        showMoved();
    }
}

// The same lines stay selected, or none: those that stayed, or the same text elsewhere.
void LogView::keepSelection(const QList<QStringView>& next, const ui::LineChange& change) {
    const TextPos first = std::min(mAnchor, mCaret);
    const TextPos last = std::max(mAnchor, mCaret);
    const std::optional<qsizetype> at =
        hasSelection() ? ui::findLines(mRaw, next, change, first.line, last.line - first.line + 1)
                       : std::nullopt;
    if (at) {
        const qsizetype shift = *at - first.line;
        mAnchor.line += shift;
        mCaret.line += shift;
        mRedrawAll = mRedrawAll || change.kept == 0 || shift != change.fresh - change.dropped;
        return;
    }
    mRedrawAll = mRedrawAll || hasSelection();
    const qsizetype line = mCaret.line - change.dropped + change.fresh;
    mCaret =
        change.kept > 0 && mCaret.line >= change.dropped ? TextPos{line, mCaret.column} : TextPos{};
    mAnchor = mCaret;
}

void LogView::setSelection(TextPos anchor, TextPos caret) {
    const auto valid = [this](TextPos pos) {
        if (mLines.empty()) {
            return TextPos{};
        }
        pos.line = std::clamp<qsizetype>(pos.line, 0, lineCount() - 1);
        pos.column = std::clamp(pos.column, 0, int(lineText(pos.line).size()));
        return pos;
    };
    anchor = valid(anchor);
    caret = valid(caret);
    if (anchor == mAnchor && caret == mCaret) {
        return;
    }
    if (hasSelection() || anchor != caret) {
        viewport()->update();
    }
    mAnchor = anchor;
    mCaret = caret;
    selectionChanged();
}

void LogView::selectAll() {
    if (!mLines.empty()) {
        setSelection({}, {lineCount() - 1, int(mLines.back().text().size())});
    }
}

QString LogView::selectedText() const {
    QStringList lines;
    const TextPos last = std::max(mAnchor, mCaret);
    for (qsizetype i = std::min(mAnchor, mCaret).line; hasSelection() && i <= last.line; ++i) {
        const auto [from, to] = selectedColumns(i);
        lines << lineText(i).sliced(from, to - from);
    }
    return lines.join(QStringLiteral("\r\n"));
}

std::pair<int, int> LogView::selectedColumns(qsizetype line) const {
    const TextPos first = std::min(mAnchor, mCaret);
    const TextPos last = std::max(mAnchor, mCaret);
    if (!hasSelection() || line < first.line || line > last.line) {
        return {0, 0};
    }
    return {line == first.line ? first.column : 0,
            line == last.line ? last.column : int(lineText(line).size())};
}

void LogView::copySelection() const {
    QGuiApplication::clipboard()->setText(selectedText());
}

void LogView::selectionChanged() {
    if (QAccessible::isActive()) {
        const int anchor = offsetOf(mAnchor);
        const int caret = offsetOf(mCaret);
        QAccessibleTextSelectionEvent selection(this, std::min(anchor, caret),
                                                std::max(anchor, caret));
        QAccessible::updateAccessibility(&selection);
        QAccessibleTextCursorEvent cursor(this, caret);
        QAccessible::updateAccessibility(&cursor);
    }
}

int LogView::offsetOf(TextPos pos) const {
    qsizetype offset = pos.column;
    for (qsizetype i = 0; i < pos.line && i < lineCount(); ++i) {
        offset += lineText(i).size() + 1;
    }
    return int(offset);
}

TextPos LogView::posOf(int offset) const {
    qsizetype line = 0;
    for (; line + 1 < lineCount() && offset > lineText(line).size(); ++line) {
        offset -= int(lineText(line).size()) + 1;
    }
    return {line, offset};
}

TextPos LogView::posAt(QPoint point) {
    if (mLines.empty()) {
        return {};
    }
    const qsizetype row = point.y() < 0 ? -1 : point.y() / mPitch;
    const qsizetype line = std::clamp<qsizetype>(topLine() + row, 0, lineCount() - 1);
    const qreal x = std::max(0, point.x() + horizontalScrollBar()->value());
    return {line, mLines[std::size_t(line)].layOut(lineFont(), x).xToCursor(x)};
}

QRect LogView::characterRect(TextPos pos) {
    if (pos.line < 0 || pos.line >= lineCount()) {
        return {};
    }
    const QTextLine text = mLines[std::size_t(pos.line)].layOut(lineFont(), 0, pos.column + 1);
    const qreal left = text.cursorToX(pos.column);
    qreal right = text.cursorToX(pos.column, QTextLine::Trailing);
    right = right > left ? right : left + mCell;
    const int x = horizontalScrollBar()->value();
    return {int(left) - x, lineRect(pos.line).top(), int(std::ceil(right - left)), mPitch};
}

void LogView::ensureVisible(TextPos pos) {
    QScrollBar* lines = verticalScrollBar();
    if (pos.line < topLine()) {
        lines->setValue(int(pos.line));
    } else if (pos.line >= topLine() + pageLines()) {
        lines->setValue(int(pos.line) - pageLines() + 1);
    }
    const QRect shown = characterRect(pos);
    QScrollBar* columns = horizontalScrollBar();
    if (shown.left() < 0) {
        columns->setValue(columns->value() + shown.left());
    } else if (shown.right() >= viewport()->width()) {
        columns->setValue(columns->value() + shown.right() - viewport()->width() + 1);
    }
}

void LogView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int x = horizontalScrollBar()->value();
    const LineFont font = lineFont();
    const QPalette& colors = palette();
    const TextPos first = hasSelection() ? std::min(mAnchor, mCaret) : TextPos{lineCount(), 0};
    const TextPos last = std::max(mAnchor, mCaret);
    const qsizetype end = std::min(lineCount(), topLine() + area.bottom() / mPitch + 1);
    const qreal widest = horizontalScrollBar()->maximum() + viewport()->width();
    bool wider = false;
    mPainted = {-1, 0};
    for (qsizetype i = topLine() + area.top() / mPitch; i < end; ++i) {
        ViewLine& line = mLines[std::size_t(i)];
        const QRect row = lineRect(i);
        painter.setClipRect(row); // a glyph taller than the line stays in it, whatever is painted
        if (line.style().back) {
            painter.fillRect(row, toQColor(*line.style().back));
        }
        const QTextLine text = line.layOut(font, x + area.right() + 1);
        QTextLayout::FormatRange selected;
        std::tie(selected.start, selected.length) = selectedColumns(i);
        selected.length = std::min(selected.length, int(line.laidOut())) - selected.start;
        selected.format.setBackground(colors.highlight());
        selected.format.setForeground(colors.highlightedText());
        if (i >= first.line && i < last.line && line.laidOut() == line.text().size()) {
            // A selection that goes on shows past the line's end, on empty lines too.
            painter.fillRect(QRectF(text.naturalTextWidth() - x, row.top(), mCell, mPitch),
                             colors.highlight());
        }
        painter.setPen(line.style().fore ? toQColor(*line.style().fore) : colors.text().color());
        const QPointF at(-x, row.top() + mAscent - text.ascent());
        line.layout().draw(&painter, at,
                           selected.length > 0 ? QList{selected}
                                               : QList<QTextLayout::FormatRange>{});
        wider = wider || line.width(mCell) + mCell > widest;
        if (area.contains(row) && row.bottom() < viewport()->height()) {
            mPainted = {mPainted.first < 0 ? i : mPainted.first, mPainted.second + 1};
        }
    }
    if (wider) { // a line laid out further is wider than guessed: let the reader see all of it
        mWiden.start();
    }
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->modifiers().testFlag(Qt::ShiftModifier)) {
        moveCaret(*event);
    } else if (event->key() == Qt::Key_Home) {
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
    } else if (event->key() == Qt::Key_End) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        horizontalScrollBar()->setValue(0);
    } else {
        QAbstractScrollArea::keyPressEvent(event); // arrows and pages move the view
    }
}

// With Shift, keys move the caret and the selection follows it.
void LogView::moveCaret(QKeyEvent& event) {
    if (mLines.empty()) {
        return;
    }
    TextPos to = mCaret;
    const QString& text = lineText(to.line);
    const bool control = event.modifiers().testFlag(Qt::ControlModifier);
    switch (event.key()) {
    case Qt::Key_Left:
        to = to.column > 0
                 ? TextPos{to.line, boundary(text, to.column, QTextBoundaryFinder::Grapheme, false)}
             : to.line > 0 ? TextPos{to.line - 1, int(lineText(to.line - 1).size())}
                           : to;
        break;
    case Qt::Key_Right:
        to = to.column < text.size()
                 ? TextPos{to.line, boundary(text, to.column, QTextBoundaryFinder::Grapheme, true)}
             : to.line + 1 < lineCount() ? TextPos{to.line + 1, 0}
                                         : to;
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const bool page = event.key() == Qt::Key_PageUp || event.key() == Qt::Key_PageDown;
        const bool up = event.key() == Qt::Key_Up || event.key() == Qt::Key_PageUp;
        to.line += qsizetype(up ? -1 : 1) * (page ? pageLines() : 1);
        break;
    }
    case Qt::Key_Home:
        to = control ? TextPos{} : TextPos{to.line, 0};
        break;
    case Qt::Key_End:
        to = control ? TextPos{lineCount() - 1, int(mLines.back().text().size())}
                     : TextPos{to.line, int(text.size())};
        break;
    default:
        QAbstractScrollArea::keyPressEvent(&event);
        return;
    }
    setSelection(mAnchor, to);
    ensureVisible(mCaret);
}

void LogView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const TextPos at = posAt(event->position().toPoint());
    setSelection(event->modifiers().testFlag(Qt::ShiftModifier) ? mAnchor : at, at);
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons().testFlag(Qt::LeftButton)) {
        setSelection(mAnchor, posAt(event->position().toPoint()));
        ensureVisible(mCaret);
    }
}

// As on the X desktop: a selection made with the mouse can be pasted with the middle button.
void LogView::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::LeftButton && hasSelection() && clipboard->supportsSelection()) {
        clipboard->setText(selectedText(), QClipboard::Selection);
    }
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        selectWordAt(posAt(event->position().toPoint()));
    }
}

void LogView::selectWordAt(TextPos pos) {
    if (mLines.empty()) {
        return;
    }
    const QString& text = lineText(pos.line);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(pos.column);
    const bool atStart = finder.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem);
    const int start =
        atStart ? pos.column : boundary(text, pos.column, QTextBoundaryFinder::Word, false);
    setSelection({pos.line, start},
                 {pos.line, boundary(text, start, QTextBoundaryFinder::Word, true)});
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("コピー"), this, [this] { copySelection(); })
        ->setEnabled(hasSelection());
    menu.addAction(QStringLiteral("すべて選択"), this, [this] { selectAll(); });
    menu.exec(event->globalPos());
}

} // namespace logwarden::gui
