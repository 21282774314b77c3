// SPDX-License-Identifier: MIT
#include "gui/StartState.h"

namespace {
const QString maximizedValue = QStringLiteral("maximized");
const QString normalValue = QStringLiteral("normal");
} // namespace

QByteArray startVariable(bool maximized) {
    return QByteArray(StartStateVariable) + '=' +
           (maximized ? maximizedValue : normalValue).toLatin1();
}

std::optional<ui::WindowState> takeStartState() {
    const QString value = qEnvironmentVariable(StartStateVariable);
    qunsetenv(StartStateVariable);
    if (value == maximizedValue) {
        return ui::WindowState::Maximized;
    }
    if (value == normalValue) {
        return ui::WindowState::Normal;
    }
    return std::nullopt;
}
