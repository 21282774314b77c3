// SPDX-License-Identifier: MIT
#pragma once

#include "ui/TextMatch.h"

#include <QString>
#include <optional>

namespace logwarden::core {

// Which pieces extraction keeps: those the keyword is found in, only the last `last` of them
// when that is set.
struct Extraction {
    ui::TextMatcher keyword;
    qsizetype last = 0;
};

// The view text for a tail: split at `separator`, keep the pieces extraction keeps when it is
// on, and end every kept piece with CR LF. The pieces keep the file's characters.
QString renderTail(const QString& tail, const QString& separator,
                   const std::optional<Extraction>& extraction = std::nullopt);

} // namespace logwarden::core
