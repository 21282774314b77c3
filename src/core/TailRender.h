// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The view text for a tail: split at `separator`, keep the pieces that contain `keyword` when
// extraction is on, and end every kept piece with CR LF. The pieces keep the file's own
// characters, so that Copy gives them; the view makes each line visible (ui::displayLine). A CR
// that ends a piece stays, for the view to draw as nothing.
QString renderTail(const QString& tail, const QString& separator, bool extract,
                   const QString& keyword);
