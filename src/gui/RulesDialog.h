// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WatchRule.h"

#include <QWidget>
#include <optional>

namespace logwarden::gui {

// The rules' dialog, modal to `parent`: the rules as edited, none when cancelled. It keeps to
// the request's refusal: rules it refuses are told in the dialog and cannot be taken.
std::optional<QList<platform::WatchRule>>
editWatchRules(QWidget* parent, const platform::WatchRulesRequest& request);

} // namespace logwarden::gui
