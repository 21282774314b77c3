// SPDX-License-Identifier: MIT
#include "core/NotifyFold.h"

namespace logwarden::core {

std::optional<NotifyFold::Note> NotifyFold::offer(int rule, const QString& file,
                                                  const QString& line, int count) {
    if (count <= 0) {
        return std::nullopt;
    }
    const auto [it, opened] = mQuiet.try_emplace(rule);
    if (opened) {
        return Note{rule, file, line, count - 1};
    }
    std::optional<Note>& held = it->second.held;
    if (held) {
        held->more += count;
    } else {
        held = Note{rule, file, line, count - 1};
    }
    return std::nullopt;
}

std::vector<NotifyFold::Note> NotifyFold::tick() {
    std::vector<Note> due;
    for (auto it = mQuiet.begin(); it != mQuiet.end();) {
        Quiet& quiet = it->second;
        if (--quiet.ticksLeft > 0) {
            ++it;
        } else if (quiet.held) {
            due.push_back(*std::exchange(quiet.held, std::nullopt));
            quiet.ticksLeft = QuietTicks;
            ++it;
        } else {
            it = mQuiet.erase(it);
        }
    }
    return due;
}

} // namespace logwarden::core
