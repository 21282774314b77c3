// SPDX-License-Identifier: MIT
#include "settings/WatchRules.h"

#include <algorithm>
#include <vector>

namespace logwarden::settings {

QList<WatchRule> defaultRules() {
    // enabled, pattern, regex, matchCase, matchWidth, foreground, background, notify
    return {{false, QStringLiteral("ERROR|FATAL|例外|異常|失敗"), true, true, true,
             QStringLiteral("#ffffff"), QStringLiteral("#c62828"), true},
            {false,
             QStringLiteral("WARN|警告"),
             true,
             true,
             true,
             {},
             QStringLiteral("#ffe082"),
             false}};
}

std::optional<ui::Color> ruleColor(QStringView text) {
    const auto hexDigit = [](QChar c) {
        const char16_t lower = c.unicode() | 0x20;
        return (c >= u'0' && c <= u'9') || (lower >= u'a' && lower <= u'f');
    };
    if (text.size() != 7 || !text.startsWith(u'#') ||
        !std::all_of(text.begin() + 1, text.end(), hexDigit)) {
        return std::nullopt;
    }
    const uint rgb = text.sliced(1).toUInt(nullptr, 16);
    return ui::Color{int(rgb >> 16 & 0xff), int(rgb >> 8 & 0xff), int(rgb & 0xff)};
}

ui::TextMatcher ruleMatcher(const WatchRule& rule) {
    return {rule.pattern, rule.regex, {!rule.matchCase, !rule.matchWidth, false}};
}

QString ruleProblem(const WatchRule& rule) {
    if (rule.pattern.isEmpty()) {
        return QStringLiteral("パターンが空です");
    }
    if (rule.pattern.contains(u'\n') || rule.pattern.contains(u'\r')) {
        return QStringLiteral("パターンに改行は使えません"); // no line holds one
    }
    for (const QString& color : {rule.foreground, rule.background}) {
        if (!color.isEmpty() && !ruleColor(color)) {
            return QStringLiteral("色「%1」は #rrggbb の形ではありません").arg(color);
        }
    }
    return ruleMatcher(rule).error();
}

QString rulesProblem(const QList<WatchRule>& rules) {
    for (qsizetype i = 0; i < rules.size(); ++i) {
        if (const QString problem = ruleProblem(rules[i]); !problem.isEmpty()) {
            return QStringLiteral("%1 番目の規則: %2").arg(i + 1).arg(problem);
        }
    }
    return {};
}

ui::LineStyler lineStyler(const QList<WatchRule>& rules) {
    struct Colouring {
        ui::TextMatcher matcher;
        ui::LineStyle style;
    };
    std::vector<Colouring> colourings;
    for (const WatchRule& rule : rules) {
        const ui::LineStyle style{ruleColor(rule.foreground), ruleColor(rule.background)};
        if (rule.enabled && style != ui::LineStyle{} && ruleProblem(rule).isEmpty()) {
            colourings.push_back({ruleMatcher(rule), style});
        }
    }
    if (colourings.empty()) {
        return {};
    }
    return [colourings = std::move(colourings)](QStringView line) {
        for (const Colouring& colouring : colourings) {
            if (colouring.matcher.matches(line)) {
                return colouring.style;
            }
        }
        return ui::LineStyle{};
    };
}

} // namespace logwarden::settings
