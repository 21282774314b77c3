// SPDX-License-Identifier: MIT
#include "PlainUser.h"
#include "Rows.h"
#include "TempFiles.h"
#include "settings/WatchSettings.h"

namespace {

using namespace logwarden::settings;

// The file's text; what it gives: the options on, and the rules' patterns.
using Read = std::tuple<const char*, QByteArray, QString, QStringList>;

QString optionsOn(const WatchSettings& s) {
    QStringList on;
    for (const auto& [flag, name] : {std::pair{s.extractWholeWindow, "whole"},
                                     {s.extractIgnoreCase, "case"},
                                     {s.extractIgnoreWidth, "width"},
                                     {s.extractIgnoreKana, "kana"},
                                     {s.followOnOpen, "follow"}}) {
        if (flag) {
            on << name;
        }
    }
    return on.join(u' ');
}

QStringList patterns(const WatchSettings& s) {
    QStringList list;
    for (const WatchRule& rule : s.rules) {
        list << rule.pattern;
    }
    return list;
}

} // namespace

class WatchSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsLeniently_data() {
        const QStringList defaults = patterns({});
        rows<Read>({
            {"empty: the defaults", "", "", defaults},
            {"junk: the defaults", "\x81\xff[rule\npattern=x\n", "", defaults},
            {"options alone: the file's rules, none",
             "\xEF\xBB\xBF[Options]\r\nFollow-On-Open = TRUE\r\nextract-ignore-kana=yes\r\n",
             "follow",
             {}},
            {"a pattern keeps its blanks and the file's characters",
             "[rule]\npattern= エラー \n[x]\npattern=not a rule\n[RULE]\nregex=1\n",
             "",
             {" エラー ", ""}},
        });
    }

    void readsLeniently() {
        const auto [tag, text, on, rules] = row<Read>();
        WatchSettings settings;
        readWatchText(text, settings);
        QCOMPARE(optionsOn(settings), on);
        QCOMPARE(patterns(settings), rules);
        if (!rules.isEmpty() && rules.last().isEmpty()) {
            QCOMPARE(settings.rules.last(), WatchRule{}); // a value that does not read keeps it
        }
    }

    void savedFileReadsBack() {
        TempWorkDir dir;
        WatchSettings settings;
        settings.extractWholeWindow = settings.followOnOpen = true;
        settings.rules[1] = {true, " 失敗=x ", false, false, false, "#000000", {}, true};
        QVERIFY(!saveWatchSettings(settings));
        WatchSettings loaded;
        QVERIFY(!loadWatchSettings(loaded));
        QVERIFY(loaded == settings);
        QFile file(dir.path(WatchFileName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("[options]\r\nextract-whole-window=true\r\n"));
        settings.rules.clear();
        QVERIFY(!saveWatchSettings(settings) && !loadWatchSettings(loaded));
        QVERIFY(loaded.rules.isEmpty());
    }

    void unreadableFileLeavesNoRules() {
        TempWorkDir dir;
        PlainUser user(dir.path({}));
        REQUIRE_MODES(user);
        const QString path = dir.write(WatchFileName, "[options]\n");
        QVERIFY(QFile::setPermissions(path, {}));
        WatchSettings settings;
        QCOMPARE(loadWatchSettings(settings), std::make_error_code(std::errc::permission_denied));
        QVERIFY(settings.rules.isEmpty() && optionsOn(settings).isEmpty());
    }
};

QTEST_GUILESS_MAIN(WatchSettingsTest)
#include "tst_watchsettings.moc"
