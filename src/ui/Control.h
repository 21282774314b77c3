// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <utility>

namespace logwarden::ui {

// A control model has exactly one observer: the binding that mirrors it onto a real widget.
// Tests read the model instead, so no widget is needed to see what the window shows.
class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    Control(Control&&) = delete;
    Control& operator=(Control&&) = delete;
    ~Control() = default;

    void observe(std::function<void()> onChange) { mOnChange = std::move(onChange); }

protected:
    void changed() const {
        if (mOnChange) {
            mOnChange();
        }
    }

    template <class T> void assign(T& field, const T& value) {
        if (field == value) {
            return;
        }
        field = value;
        changed();
    }

private:
    std::function<void()> mOnChange;
};

} // namespace logwarden::ui
