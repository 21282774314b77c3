// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>

// The read-only text view. The window's Copy command owns Ctrl+C, so the view does not claim
// the key for copying its selection.
class TextView : public QPlainTextEdit {
public:
    explicit TextView(QWidget* parent);

protected:
    bool event(QEvent* event) override;
};
