// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"

#include "platform/SystemText.h"

#include <QHash>

namespace logwarden::platform {
namespace {

constexpr std::chrono::seconds budget{2};

struct Gate {
    std::mutex mutex;
    QHash<QByteArray, int> stuck;
};

// Never destroyed: a call given up on may return after main() has.
Gate& gate() {
    static Gate* const instance = new Gate;
    return *instance;
}

} // namespace

bool isStuck(const QByteArray& key) {
    const std::lock_guard lock(gate().mutex);
    return gate().stuck.contains(key);
}

void markStuck(const QByteArray& key, int change) {
    const std::lock_guard lock(gate().mutex);
    if ((gate().stuck[key] += change) <= 0) {
        gate().stuck.remove(key);
    }
}

// Learnt again only when the path changes, so that a poll of a local file still costs one stat;
// the learning itself may hang, so it is bounded.
bool answersPromptly(const QByteArray& path) {
    struct Learnt {
        std::mutex mutex;
        QByteArray path;
        bool direct = false;
    };
    static auto* const last = new Learnt; // never destroyed, as gate()
    {
        const std::lock_guard lock(last->mutex);
        if (path == last->path && !path.isNull()) {
            return last->direct;
        }
    }
    const auto local =
        bounded<std::optional<bool>>(path, [path] { return isOnLocalFileSystem(path); });
    if (!local) {
        return true; // it answered, with an error that the call itself will meet
    }
    const std::lock_guard lock(last->mutex);
    last->path = path;
    last->direct = *local;
    return *local;
}

bool answersPromptly(const QString& path) {
    return answersPromptly(encodeFileName(path));
}

void runBounded(const QByteArray& key, std::function<void()> call) {
    if (isStuck(key)) {
        throw FileSystemStalled();
    }
    BackgroundCall<bool> background(key, [call = std::move(call)] {
        call();
        return true;
    });
    if (!background.waitFor(budget)) {
        throw FileSystemStalled();
    }
    background.take();
}

} // namespace logwarden::platform
