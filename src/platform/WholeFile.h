// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <system_error>

// Small files the program reads and writes whole: its settings.
namespace platform {

// The first `cap` bytes of a regular file; empty when there is none, it is something else (a
// folder, a FIFO, a device) or it cannot be read. Never waits for a writer.
QByteArray readWholeFile(const QString& name, qsizetype cap);

// Replaces the file's content by `bytes`, flushed to disk. Where the folder lets it, a new
// file takes the old one's place in one rename, so a reader never sees half a file. A file
// that has other hard links, or belongs to another user, is rewritten in place, so that the
// links and the owner stay; so is one in a folder that cannot be written. A symbolic link is
// never written through: it is replaced by a file, or left alone. Temporary files that an
// interrupted save left behind are removed. Returns the system's reason for a failure.
std::error_code writeWholeFile(const QString& name, QByteArrayView bytes);

} // namespace platform
