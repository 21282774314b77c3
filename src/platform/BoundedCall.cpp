// SPDX-License-Identifier: MIT
#include "platform/BoundedCall.h"

#include <QHash>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace logwarden::platform {
namespace {

constexpr std::chrono::seconds budget{2};

struct Gate {
    std::mutex mutex;
    QHash<QByteArray, int> stuck; // calls given up on that have not returned, by key
};

// Never destroyed: a call given up on may return after main() has.
Gate& gate() {
    static Gate* const instance = new Gate;
    return *instance;
}

struct Call {
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    std::exception_ptr error;
};

} // namespace

void runBounded(const QByteArray& key, std::function<void()> call) {
    Gate& g = gate();
    std::unique_lock lock(g.mutex);
    if (g.stuck.contains(key)) {
        throw FileSystemStalled();
    }
    auto state = std::make_shared<Call>();
    std::thread([state, key, call = std::move(call)] {
        std::exception_ptr error;
        try {
            call();
        } catch (...) {
            error = std::current_exception();
        }
        Gate& g = gate();
        const std::lock_guard lock(g.mutex);
        state->error = error;
        state->done = true;
        if (state->abandoned && --g.stuck[key] == 0) {
            g.stuck.remove(key);
        }
        state->finished.notify_one();
    }).detach();
    if (!state->finished.wait_for(lock, budget, [&] { return state->done; })) {
        state->abandoned = true;
        ++g.stuck[key];
        throw FileSystemStalled();
    }
    if (state->error) {
        std::rethrow_exception(state->error);
    }
}

} // namespace logwarden::platform
