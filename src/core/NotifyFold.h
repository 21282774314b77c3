// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace logwarden::core {

// Folds the bursts of each rule's notifications: a rule that announced a line is quiet for
// QuietTicks ticks of a timer. What it finds meanwhile is counted, and told in one notification
// when the quiet ends, which starts another.
class NotifyFold {
public:
    static constexpr int QuietTicks = 5;

    struct Note {
        int rule = 0;
        QString file;
        QString line; // the first line found
        int more = 0; // how many more lines were found with it
        friend bool operator==(const Note&, const Note&) = default;
    };

    // `count` lines of `file` that `rule` finds, the first of them `line`: the note to send now,
    // or none while the rule is quiet.
    std::optional<Note> offer(int rule, const QString& file, const QString& line, int count);
    // A tick of the timer: the notes of the rules whose quiet ended with lines held.
    std::vector<Note> tick();
    // Some rule is quiet: the timer must run.
    bool quiet() const { return !mQuiet.empty(); }
    void clear() { mQuiet.clear(); }

private:
    struct Quiet {
        int ticksLeft = QuietTicks;
        std::optional<Note> held;
    };
    std::map<int, Quiet> mQuiet;
};

} // namespace logwarden::core
