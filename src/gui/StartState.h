// SPDX-License-Identifier: MIT
#pragma once

#include "ui/FormWindow.h"

#include <QByteArray>
#include <optional>

// How a copy started by the new-window command shows its window first. Windows hands this to
// a new process in its start-up information; POSIX has no such field, and the command line is
// the one watched path, so the parent sets a private environment variable. The child takes it
// once at start and removes it, so that programs it starts later do not inherit it.
inline constexpr const char* StartStateVariable = "LOGWARDEN_START_STATE";

// The environment variable ("NAME=value") of a copy started with the given first show state.
QByteArray startVariable(bool maximized);

// The first show state this process was started with, if any; removes it from the environment.
std::optional<ui::WindowState> takeStartState();
