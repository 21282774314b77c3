#pragma once

#include <QString>

// The view text for a tail: split at `separator`, keep the pieces that contain `keyword` when
// extraction is on, and end every kept piece with CR LF.
QString renderTail(const QString& tail, const QString& separator, bool extract,
                   const QString& keyword);
