// SPDX-License-Identifier: MIT
#pragma once

#include "ui/LineStyle.h"
#include "ui/Placed.h"

#include <QString>

namespace logwarden::ui {

// The multi-line, read-only text view.
class TextBox : public Placed {
public:
    using Placed::Placed;

    const QString& text() const { return mText; }
    void setText(const QString& text) {
        mText = text;
        ++mTextRevision; // the binding replaces the widget's text only when this moved
        changed();
    }
    unsigned long long textRevision() const { return mTextRevision; }

    const LineStyler& lineStyler() const { return mLineStyler; }
    void setLineStyler(LineStyler styler) {
        mLineStyler = std::move(styler);
        ++mStylerRevision; // every line shown is styled again
        changed();
    }
    unsigned long long stylerRevision() const { return mStylerRevision; }

    Color backColor() const { return mBackColor; }
    void setBackColor(Color color) { assign(mBackColor, color); }
    Color foreColor() const { return mForeColor; }
    void setForeColor(Color color) { assign(mForeColor, color); }
    int fontSize() const { return mFontSize; }
    void setFontSize(int points) { assign(mFontSize, points); }

private:
    QString mText;
    unsigned long long mTextRevision = 0;
    LineStyler mLineStyler;
    unsigned long long mStylerRevision = 0;
    Color mBackColor{255, 255, 255};
    Color mForeColor{0, 0, 0};
    int mFontSize = 9;
};

} // namespace logwarden::ui
