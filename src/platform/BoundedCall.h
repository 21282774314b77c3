// SPDX-License-Identifier: MIT
#pragma once

#include "platform/System.h"

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

// How a file system that stopped answering is kept from holding the window.
namespace logwarden::platform {

// Calls given up on that have not returned, by key (a path): a file system that did not
// answer one is not asked again until it has.
bool isStuck(const QByteArray& key);
void markStuck(const QByteArray& key, int change);

// Runs `work` on a thread of its own that no one waits for. On Windows a system thread: the
// threads library there can start a thread that is detached at once without its work.
void startDetachedThread(std::function<void()> work);

// A call on a thread of its own, which may be waited for a while and, when it has not come back
// by then, left to finish alone (its key counts as stuck meanwhile) and its result taken when it
// has come. It must own everything it uses.
template <class T> class BackgroundCall {
public:
    template <class F>
    BackgroundCall(QByteArray key, F call) : mState(std::make_shared<State>(std::move(key))) {
        startDetachedThread([state = mState, call = std::move(call)]() mutable {
            std::optional<T> value;
            std::exception_ptr error;
            try {
                value.emplace(call());
            } catch (...) {
                error = std::current_exception();
            }
            const std::lock_guard lock(state->mutex);
            state->value = std::move(value);
            state->error = error;
            state->done = true;
            if (state->givenUp) {
                markStuck(state->key, -1);
            }
            state->finished.notify_all();
        });
    }

    // Whether it has come back, waiting for it up to `wait`; a call not back by then is given up.
    bool waitFor(std::chrono::milliseconds wait) {
        std::unique_lock lock(mState->mutex);
        if (mState->finished.wait_for(lock, wait, [this] { return mState->done; })) {
            return true;
        }
        if (!std::exchange(mState->givenUp, true)) {
            markStuck(mState->key, 1);
        }
        return false;
    }
    // Its result, or its exception again; once it has come back.
    T take() {
        const std::lock_guard lock(mState->mutex);
        if (mState->error) {
            std::rethrow_exception(mState->error);
        }
        return std::move(*mState->value);
    }

private:
    struct State {
        explicit State(QByteArray key) : key(std::move(key)) {}
        QByteArray key;
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool givenUp = false;
        std::optional<T> value;
        std::exception_ptr error;
    };
    std::shared_ptr<State> mState;
};

// Runs `call` on a thread of its own and waits up to two seconds for it; exceptions of `call`
// reach the caller. Throws FileSystemStalled when it takes longer, and without starting it
// while an earlier call with the same `key` has not returned.
void runBounded(const QByteArray& key, std::function<void()> call);

template <class T, class F> T bounded(const QByteArray& key, F call) {
    auto result = std::make_shared<std::optional<T>>();
    runBounded(key, [result, call = std::move(call)] { result->emplace(call()); });
    return std::move(**result);
}

// answersPromptly() for a path as encodeFileName() gives it.
bool answersPromptly(const QByteArray& path);

// The back-end's part of it: whether the file system of the path is a local disk or memory;
// none when that cannot be told.
std::optional<bool> isOnLocalFileSystem(const QByteArray& path);

// `call` on the caller's thread where `path` answers promptly, bounded otherwise.
template <class T, class F> T boundedUnlessLocal(const QByteArray& path, F call) {
    return answersPromptly(path) ? call() : bounded<T>(path, std::move(call));
}

} // namespace logwarden::platform
