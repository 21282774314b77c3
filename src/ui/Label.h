// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Placed.h"

#include <QString>

namespace ui {

class Label : public Placed {
public:
    Label(Rect design, QString caption = {}) : Placed(design), mCaption(std::move(caption)) {}

    const QString& caption() const { return mCaption; }
    void setCaption(const QString& caption) { assign(mCaption, caption); }

private:
    QString mCaption;
};

// A captionless frame: it only groups a caption label and a value label.
using Frame = Placed;

} // namespace ui
