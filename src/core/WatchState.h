// SPDX-License-Identifier: MIT
#pragma once

#include "core/TailReader.h"
#include "platform/DateTime.h"
#include "platform/System.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace logwarden::core {

// The window's monitoring state. The length is 64-bit, not the classic 32-bit count, so that
// files of 2 GiB and more are read at their end.
struct WatchState {
    QString mstrFilePath;
    std::int32_t mlngLineCount = 20;
    double mdblBufferSize = 0;
    platform::DateTime mdtmLastModified{};
    std::int64_t mdblFileLen = 0;
    // Part of the change test (ComparisonState): a file renamed over is another file. None
    // after a file was chosen, so that the choice always reads it.
    std::optional<platform::FileId> mFileId;
    bool mblnReading = false;
    TailBytes mTailBytes; // the last read, kept to show it again in another encoding
    QString mstrTailText;
    short mintFlashState = 0;
};

} // namespace logwarden::core
