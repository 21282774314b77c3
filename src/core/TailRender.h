// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The view text for a tail: split at `separator`, keep the pieces that contain `keyword` when
// extraction is on, and end every kept piece with CR LF. A NUL shows as U+2400 (SYMBOL FOR NULL).
QString renderTail(const QString& tail, const QString& separator, bool extract,
                   const QString& keyword);
