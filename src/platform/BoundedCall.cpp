// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"

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
