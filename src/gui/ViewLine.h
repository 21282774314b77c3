// SPDX-License-Identifier: MIT
#pragma once

#include "ui/LineStyle.h"

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <memory>

class QPaintDevice;

namespace logwarden::gui {

// What lines are laid out with: the view's font on its paint device, and the width of one
// narrow character of that font.
struct LineFont {
    QFont font;
    QPaintDevice* device = nullptr;
    qreal cell = 1;
};

// One line of the log view: what is drawn for it, its colours, and its layout. A line is laid
// out only as far as it has been seen, so that a long line costs what its visible part costs;
// the layout keeps its shaped glyphs, so that painting it again shapes nothing.
class ViewLine {
public:
    ViewLine(QString text, ui::LineStyle style);

    const QString& text() const { return mText; }
    const ui::LineStyle& style() const { return mStyle; }
    void setStyle(const ui::LineStyle& style) { mStyle = style; }

    // Pixels, exact once laid out whole; until then estimated from the characters' cells.
    qreal width(qreal cell) const;
    // The line laid out at least to `x` pixels and `chars` characters, or whole.
    QTextLine layOut(const LineFont& font, qreal x, qsizetype chars = 0);
    // The layout last made; layOut() makes one.
    const QTextLayout& layout() const { return *mLayout; }
    // Characters laid out so far.
    qsizetype laidOut() const { return mLayout ? mLayout->text().size() : 0; }
    void forgetLayout() { mLayout.reset(); }

private:
    qsizetype cutAfter(qsizetype chars) const;
    void layOutPrefix(const LineFont& font, qsizetype chars);

    QString mText;
    ui::LineStyle mStyle;
    int mCells = 0;
    bool mRightToLeft = false; // holds right-to-left characters
    std::unique_ptr<QTextLayout> mLayout;
};

} // namespace logwarden::gui
