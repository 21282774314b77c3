// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <array>

namespace logwarden::files {

// Puts `path` at the top of the list; an equal entry further down moves up with it, so the list
// never holds a path twice and nothing else is lost. A path with a line break stays out: the
// settings file stores one path per line and would read it back as two.
template <std::size_t N> void addRecent(std::array<QString, N>& slots, const QString& path) {
    if (path.isEmpty() || path.contains(u'\r') || path.contains(u'\n')) {
        return;
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (slots[i] == path) {
            for (std::size_t j = i; j + 1 < N; ++j) {
                slots[j] = slots[j + 1];
            }
            slots[N - 1].clear();
            break;
        }
    }
    for (std::size_t k = N - 1; k > 0; --k) {
        slots[k] = slots[k - 1];
    }
    slots[0] = path;
}

// "&3. path": the caption of the recent-list item for slot `index` (1-based).
QString recentCaption(int index, const QString& path);

} // namespace logwarden::files
