// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace logwarden::core {

// The view text for a tail: split at `separator`, keep the pieces that contain `keyword` when
// extraction is on, and end every kept piece with CR LF. The pieces keep the file's characters.
QString renderTail(const QString& tail, const QString& separator, bool extract,
                   const QString& keyword);

} // namespace logwarden::core
