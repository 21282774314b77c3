// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Control.h"

namespace logwarden::ui {

// A timer model: the binding runs a real timer while it is enabled and calls the handler on
// each tick; tests call the handler themselves.
class Timer : public Control {
public:
    Timer(int intervalMs, bool enabled) : mInterval(intervalMs), mEnabled(enabled) {}

    int interval() const { return mInterval; }
    void setInterval(int intervalMs) { assign(mInterval, intervalMs); }
    bool enabled() const { return mEnabled; }
    void setEnabled(bool enabled) { assign(mEnabled, enabled); }

private:
    int mInterval;
    bool mEnabled;
};

} // namespace logwarden::ui
