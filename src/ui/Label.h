// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Placed.h"

#include <QString>

namespace logwarden::ui {

class Label : public Placed {
public:
    Label(Rect design, QString caption = {}) : Placed(design), mCaption(std::move(caption)) {}

    const QString& caption() const { return mCaption; }
    void setCaption(const QString& caption) { assign(mCaption, caption); }
    // A value label's tooltip: its whole caption, which may not fit, and the note below it.
    QString toolTip() const {
        return mToolTipNote.isEmpty() ? mCaption : mCaption + u'\n' + mToolTipNote;
    }
    void setToolTipNote(const QString& note) { assign(mToolTipNote, note); }

private:
    QString mCaption;
    QString mToolTipNote;
};

// A captionless frame: it only groups a caption label and a value label.
using Frame = Placed;

} // namespace logwarden::ui
