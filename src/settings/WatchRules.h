// SPDX-License-Identifier: MIT
#pragma once

#include "platform/WatchRule.h"
#include "ui/LineStyle.h"
#include "ui/TextMatch.h"

#include <QList>
#include <QString>
#include <optional>

namespace logwarden::settings {

using platform::WatchRule;

// The rules a new user finds, ready to be switched on.
QList<WatchRule> defaultRules();

// "#rrggbb" as a colour; none for anything else.
std::optional<ui::Color> ruleColor(QStringView text);

ui::TextMatcher ruleMatcher(const WatchRule& rule);

// Why the rule cannot be applied (an empty pattern, a regular expression that does not
// compile, a colour that does not read), or empty when it can.
QString ruleProblem(const WatchRule& rule);
// The first rule's problem, with its place in the list; empty when every rule can be applied.
QString rulesProblem(const QList<WatchRule>& rules);

// The view's colours for the rules: a line takes those of the first applicable rule with colours
// that finds it. None (the view's own colours for every line) when no rule colours anything.
ui::LineStyler lineStyler(const QList<WatchRule>& rules);

} // namespace logwarden::settings
