// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace logwarden::platform {

// A line the user watches for: a word or a regular expression, how it is compared, the colours
// of the lines it finds and whether a new one is announced on the desktop.
struct WatchRule {
    bool enabled = false;
    QString pattern;
    bool regex = false;
    bool matchCase = true;  // ERROR does not find error
    bool matchWidth = true; // ＥＲＲＯＲ and ｴﾗｰ are other words than ERROR and エラー
    QString foreground;     // "#rrggbb", or empty for the view's own colour
    QString background;
    bool notify = false;
    friend bool operator==(const WatchRule&, const WatchRule&) = default;
};

// The rules as a dialog shows them for editing.
struct WatchRulesRequest {
    QList<WatchRule> rules;
    QString note; // said above the list: why the rules are what they are, when it matters
    // Why the edited rules cannot be taken, or empty when they can; the dialog then stays open
    // and says so. Also asked when the dialog opens, so that a bad rule is told at once.
    std::function<QString(const QList<WatchRule>&)> refusal;
};

} // namespace logwarden::platform
