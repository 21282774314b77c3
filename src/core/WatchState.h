// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DateTime.h"
#include "platform/FileSystem.h"

#include <QString>
#include <cstdint>

// The window's monitoring state. The length is 64-bit, not the classic 32-bit count, so that
// files of 2 GiB and more are read at their end.
struct WatchState {
    QString mstrFilePath;
    std::int32_t mlngLineCount = 20;
    double mdblBufferSize = 0;
    DateTime mdtmLastModified{};
    std::int64_t mdblFileLen = 0;
    platform::FileId mFileId; // part of the change test: a file renamed over is another file
    bool mblnReading = false;
    QString mstrTailText;
    short mintFlashState = 0;
};
