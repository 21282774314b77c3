// SPDX-License-Identifier: MIT
#pragma once

#include "platform/System.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <optional>

namespace logwarden::platform {

// How the calls of platform/System.h keep a file system that stopped answering from holding the
// window: runs `call` on a thread of its own and waits up to two seconds for it; exceptions of
// `call` reach the caller. Throws FileSystemStalled when it takes longer, and without starting it
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

} // namespace logwarden::platform
