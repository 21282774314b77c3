// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace platform {

// The file system has not answered within a short wait, as a share that stopped responding
// does. The call goes on in the background; until it returns, calls with the same key throw
// this at once instead of waiting again.
class FileSystemStalled : public std::runtime_error {
public:
    FileSystemStalled() : std::runtime_error("the file system does not answer") {}
};

// Runs `call` on a thread of its own and waits up to two seconds for it; exceptions of `call`
// reach the caller. Throws FileSystemStalled when it takes longer, and without starting it
// while an earlier call with the same `key` has not returned. A call given up on is left to
// finish alone, so `call` must own everything it uses.
void runBounded(const QByteArray& key, std::function<void()> call);

template <class T, class F> T bounded(const QByteArray& key, F call) {
    auto result = std::make_shared<std::optional<T>>();
    runBounded(key, [result, call = std::move(call)] { result->emplace(call()); });
    return std::move(**result);
}

// Whether calls on `path` answer promptly: it is on a local disk or in memory, not on a share
// that may stop answering. Learnt once for the path last asked about on each thread.
bool answersPromptly(const QByteArray& path);

// `call` on the caller's thread where `path` answers promptly, bounded otherwise.
template <class T, class F> T boundedUnlessLocal(const QByteArray& path, F call) {
    return answersPromptly(path) ? call() : bounded<T>(path, std::move(call));
}

} // namespace platform
