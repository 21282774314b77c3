// SPDX-License-Identifier: MIT
#pragma once

#include "platform/DateTime.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <system_error>

// The few calls the program makes of its system, implemented once for POSIX (posix/) and once
// for Windows (win/). Every call here that can fail throws std::system_error carrying the
// system's own error code, so that its description can be shown as the system words it (or
// FileSystemStalled, when a file system has not answered in time); a yes-or-no question answers
// no instead.
namespace logwarden::platform {

// The file system has not answered within a short wait, as a share that stopped responding
// does. The call goes on in the background; until it returns, calls for the same path throw
// this at once instead of waiting again.
class FileSystemStalled : public std::runtime_error {
public:
    FileSystemStalled() : std::runtime_error("the file system does not answer") {}
};

// Runs a call of the above that may fail, and gives its failure as the system's reason
// (timed_out for a file system that did not answer in time); none when it succeeded.
template <class F> std::error_code reasonOf(F call) {
    try {
        call();
    } catch (const std::system_error& error) {
        return error.code();
    } catch (const FileSystemStalled&) {
        return std::make_error_code(std::errc::timed_out);
    }
    return {};
}

// Which file a path leads to: a file renamed over the watched one has another identity even
// when its length and time stamp (to the file system's tick) are the same. Zero where unknown.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

struct FileStamp {
    DateTime lastModified;
    std::int64_t length = 0;
    FileId id;
};

// Whether calls on `path` answer promptly: it is on a local disk or in memory, not on a share
// that may stop answering (network, FUSE, any file system not known to be local). Learnt once
// for the path last asked about on each thread, within two seconds.
bool answersPromptly(const QString& path);

// Last-modified time, length and identity of a file, links followed, in one query. A folder
// throws EISDIR; a FIFO, device or socket has no bytes to show and gives length 0. Like
// readAt(), it waits for the file system as long as it takes: where that may be long, ask it
// on a thread of its own (platform/BoundedCall.h).
FileStamp queryFile(const QString& path);

// An existing regular file (links followed); folders, devices, FIFOs and sockets are not, nor
// is a file whose file system does not answer within two seconds.
bool isRegularFile(const QString& path) noexcept;

// Up to `length` bytes from the 0-based `offset`, in one positioned read of a file opened for
// reading only, without blocking any program that writes, renames or deletes it, and closed
// again. Fewer bytes come back when the file has shrunk meanwhile, and none when the path no
// longer leads to a regular file (the open never waits on a FIFO).
QByteArray readAt(const QString& path, std::int64_t offset, std::int64_t length);

// Small files the program reads and writes whole, its settings, each within two seconds
// (FileSystemStalled), whatever file system they or the file a link names are on.
//
// The first `cap` bytes of a regular file; empty when there is none or it is something else (a
// folder, a FIFO, a device). Never waits for a writer.
QByteArray readWholeFile(const QString& name, qsizetype cap);

// Replaces the file's content by `bytes`, flushed to disk. Where the folder lets it, a new
// file takes the old one's place in one rename, so a reader never sees half a file. A file
// that has other hard links, or belongs to another user, is rewritten in place, so that the
// links and the owner stay; so is one in a folder that cannot be written. A symbolic link is
// never written through: it is replaced by a file, or left alone. Temporary files that an
// interrupted save left behind are removed.
void writeWholeFile(const QString& name, QByteArrayView bytes);

// The whole argument text after the program's name, as one string, so that a path with blanks
// needs no quotes: the arguments, each a file name's own bytes, joined by blanks; on Windows the
// command line as it was given.
QString argumentText(int argc, char** argv);

// The file a file: URL names, as the desktop hands dropped files over.
QString localFileOf(const QUrl& url);

// Writes the text to the process's standard output or error, in the system's code page; on
// Windows also when the program was started from a console without one of its own.
void writeText(const QString& text, bool toError);

// How a started copy of the program first shows its window.
enum class StartShow { Normal, Maximized };

// Starts `program` with `arguments`, each reaching it as one argument with its own characters
// (no shell), as a process of its own that this one never waits for, in this process's current
// folder, its window first shown as `show` asks.
void startDetached(const QString& program, const QStringList& arguments, StartShow show);

// How the process that started this one asked for its window to be shown first, if it asked;
// taken once, so that programs this one starts do not inherit it.
std::optional<StartShow> takeStartShow();

// Calls `handler` in the event loop of `context` whenever the system asks the program to end
// from outside its window: SIGTERM, SIGHUP or SIGINT on POSIX; a console's close or Ctrl+C on
// Windows. For one context per process.
void onEndRequest(QObject& context, std::function<void()> handler);

} // namespace logwarden::platform
