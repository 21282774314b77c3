// SPDX-License-Identifier: MIT
#include "gui/StartState.h"

namespace {
const QString maximizedValue = QStringLiteral("maximized");
const QString normalValue = QStringLiteral("normal");
} // namespace

QProcessEnvironment startEnvironment(bool maximized) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(StartStateVariable),
                       maximized ? maximizedValue : normalValue);
    return environment;
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
