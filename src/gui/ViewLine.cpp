// SPDX-License-Identifier: MIT
#include "gui/ViewLine.h"

#include <algorithm>
#include <cmath>

namespace logwarden::gui {

namespace {

// The cells of a monospace face that a character takes: two for the wide characters of East
// Asian scripts and for those beyond 16 bits (emoji, rarer ideographs). An estimate only.
int cellsOf(char16_t c) {
    if (c < 0x1100) {
        return 1;
    }
    if (QChar::isSurrogate(c)) {
        return QChar::isHighSurrogate(c) ? 2 : 0;
    }
    const bool wide = c <= 0x115F || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6);
    return wide ? 2 : 1;
}

bool rightToLeft(char32_t c) {
    const QChar::Direction direction = QChar::direction(c);
    return direction == QChar::DirR || direction == QChar::DirAL || direction == QChar::DirAN;
}

} // namespace

ViewLine::ViewLine(QString text, ui::LineStyle style) : mText(std::move(text)), mStyle(style) {
    for (qsizetype i = 0; i < mText.size(); ++i) {
        const char16_t c = mText[i].unicode();
        mCells += cellsOf(c);
        if (c >= 0x0590 && !mRightToLeft) { // no right-to-left script starts before Hebrew
            const bool pair =
                QChar::isHighSurrogate(c) && i + 1 < mText.size() && mText[i + 1].isLowSurrogate();
            mRightToLeft =
                rightToLeft(pair ? QChar::surrogateToUcs4(c, mText[i + 1].unicode()) : c);
        }
    }
}

qreal ViewLine::width(qreal cell) const {
    if (!mLayout) {
        return mCells * cell;
    }
    const qreal laid = mLayout->lineAt(0).naturalTextWidth();
    return laidOut() == mText.size()
               ? laid
               : std::max(mCells * cell, laid + qreal(mText.size() - laidOut()) * cell);
}

// Where a layout of the first `chars` characters may end without changing what it draws: not
// inside a character or a cluster; in a line with right-to-left text, only before a
// left-to-right character, since the order and the shapes of a right-to-left run depend on
// all of it.
qsizetype ViewLine::cutAfter(qsizetype chars) const {
    const auto inside = [this](qsizetype at) {
        const QChar c = mText[at];
        return c.isLowSurrogate() || c.isMark() || c == u'\u200D' || mText[at - 1] == u'\u200D' ||
               (mRightToLeft && c.direction() != QChar::DirL);
    };
    qsizetype end = std::min(std::max<qsizetype>(chars, 1), mText.size());
    while (end < mText.size() && inside(end)) {
        ++end;
    }
    return end;
}

void ViewLine::layOutPrefix(const LineFont& font, qsizetype chars) {
    auto layout =
        std::make_unique<QTextLayout>(mText.left(cutAfter(chars)), font.font, font.device);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight); // right-to-left runs inside keep their order
    option.setTabStopDistance(8 * font.cell); // a log's tabs stand as a terminal's do
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    layout->createLine().setLineWidth(1e6);
    layout->endLayout();
    mLayout = std::move(layout);
}

QTextLine ViewLine::layOut(const LineFont& font, qreal x, qsizetype chars) {
    // A few cells more than asked for: the last cluster of a cut layout may be shaped unlike
    // the whole line's, and must never be in sight.
    const qreal margin = 4 * font.cell;
    const auto enough = [&] {
        return laidOut() == mText.size() ||
               (laidOut() >= chars && mLayout->lineAt(0).naturalTextWidth() >= x + margin);
    };
    if (!mLayout) {
        layOutPrefix(font, std::max(chars, qsizetype(std::ceil((x + margin) / font.cell))));
    }
    while (!enough()) {
        layOutPrefix(font, 2 * laidOut());
    }
    return mLayout->lineAt(0);
}

} // namespace logwarden::gui
