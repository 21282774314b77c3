// SPDX-License-Identifier: MIT
#include "settings/WatchSettings.h"

#include "platform/System.h"

#include <QStringDecoder>
#include <array>
#include <variant>

namespace logwarden::settings {
namespace {

using OptionField = bool WatchSettings::*;
using RuleField = std::variant<bool WatchRule::*, QString WatchRule::*>;

const std::array<std::pair<QLatin1String, OptionField>, 5> optionKeys{{
    {QLatin1String("extract-whole-window"), &WatchSettings::extractWholeWindow},
    {QLatin1String("extract-ignore-case"), &WatchSettings::extractIgnoreCase},
    {QLatin1String("extract-ignore-width"), &WatchSettings::extractIgnoreWidth},
    {QLatin1String("extract-ignore-kana"), &WatchSettings::extractIgnoreKana},
    {QLatin1String("follow-on-open"), &WatchSettings::followOnOpen},
}};

const std::array<std::pair<QLatin1String, RuleField>, 8> ruleKeys{{
    {QLatin1String("enabled"), &WatchRule::enabled},
    {QLatin1String("pattern"), &WatchRule::pattern},
    {QLatin1String("regex"), &WatchRule::regex},
    {QLatin1String("match-case"), &WatchRule::matchCase},
    {QLatin1String("match-width"), &WatchRule::matchWidth},
    {QLatin1String("foreground"), &WatchRule::foreground},
    {QLatin1String("background"), &WatchRule::background},
    {QLatin1String("notify"), &WatchRule::notify},
}};

void readFlag(QStringView value, bool& flag) {
    if (value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        flag = true;
    } else if (value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        flag = false;
    }
}

template <class Keys> auto findKey(const Keys& keys, QStringView key) {
    return std::find_if(keys.begin(), keys.end(), [&](const auto& entry) {
        return key.compare(entry.first, Qt::CaseInsensitive) == 0;
    });
}

QLatin1String flagText(bool flag) {
    return flag ? QLatin1String("true") : QLatin1String("false");
}

} // namespace

void readWatchText(QByteArrayView text, WatchSettings& settings) {
    const QString decoded = QStringDecoder(QStringDecoder::Utf8).decode(text); // BOM dropped
    enum class Section { None, Options, Rule } section = Section::None;
    bool ownRules = false;
    for (QStringView line : QStringView(decoded).split(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (line.startsWith(u'[')) {
            section = line.compare(QLatin1String("[options]"), Qt::CaseInsensitive) == 0
                          ? Section::Options
                      : line.compare(QLatin1String("[rule]"), Qt::CaseInsensitive) == 0
                          ? Section::Rule
                          : Section::None;
            if (section != Section::None && !std::exchange(ownRules, true)) {
                settings.rules.clear();
            }
            if (section == Section::Rule) {
                settings.rules.append(WatchRule{});
            }
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            continue;
        }
        const QStringView key = line.first(equals).trimmed();
        const QStringView value = line.sliced(equals + 1); // a pattern keeps its blanks
        if (section == Section::Options) {
            if (const auto* it = findKey(optionKeys, key); it != optionKeys.end()) {
                readFlag(value.trimmed(), settings.*(it->second));
            }
        } else if (section == Section::Rule) {
            if (const auto* it = findKey(ruleKeys, key); it != ruleKeys.end()) {
                WatchRule& rule = settings.rules.last();
                if (const auto* flag = std::get_if<bool WatchRule::*>(&it->second)) {
                    readFlag(value.trimmed(), rule.*(*flag));
                } else {
                    rule.*std::get<QString WatchRule::*>(it->second) = value.toString();
                }
            }
        }
    }
}

QByteArray watchText(const WatchSettings& settings) {
    QString text = QStringLiteral("[options]\r\n");
    for (const auto& [key, field] : optionKeys) {
        text += key + u'=' + flagText(settings.*field) + QLatin1String("\r\n");
    }
    for (const WatchRule& rule : settings.rules) {
        text += QLatin1String("\r\n[rule]\r\n");
        for (const auto& [key, field] : ruleKeys) {
            const auto* flag = std::get_if<bool WatchRule::*>(&field);
            text += key + u'=' +
                    (flag != nullptr ? QString(flagText(rule.*(*flag)))
                                     : rule.*std::get<QString WatchRule::*>(field)) +
                    QLatin1String("\r\n");
        }
    }
    return text.toUtf8();
}

std::error_code loadWatchSettings(WatchSettings& settings) {
    settings = WatchSettings{};
    const std::error_code reason = platform::reasonOf([&] {
        readWatchText(
            platform::readWholeFile(QString::fromLatin1(WatchFileName), MaxWatchFileBytes),
            settings);
    });
    if (reason) {
        settings.rules.clear();
    }
    return reason;
}

std::error_code saveWatchSettings(const WatchSettings& settings) {
    return platform::reasonOf(
        [&] { platform::writeWholeFile(QString::fromLatin1(WatchFileName), watchText(settings)); });
}

} // namespace logwarden::settings
