// SPDX-License-Identifier: MIT
#pragma once

#include "LoadedForm.h"

#include <QRegularExpression>
#include <functional>
#include <map>

// The window on the scripted desktop in a folder of its own (app.log of thirty numbered lines,
// and new.log), driven by a line of steps and read back as named facts, so that a scenario is
// one row: "open start away append poll" gives "flashing=yes; icons=".
//
// Steps: open[:name] (OpenWatchedFile, app.log by default), start (the Start item), stop (the
// Stop handler, which the open command calls too, whether or not its item is enabled),
// menu-stop (the Stop item), poll / flash / notify (a tick of that timer, only while it runs),
// change (a file notification), append (a numbered line to app.log), away / back (another
// window active, or this one), rotate (app.log renamed away), create (app.log made anew),
// folder (a folder made in its place), no
// (the next question answered No; Yes otherwise), fileopen[:name] (the open command, choosing
// that file in the dialog or cancelling it), recent:name (the name as the second entry of the
// recent list, chosen from its menu), drop:name (the file dropped on the window), follow (the
// item that monitors a file once opened), rules (the default rules switched on in their dialog),
// error (an ERROR line appended), rule-tick (a tick of the notifications' fold).
//
// Facts: polling, caption ("app" for the plain caption), start, stop (their items enabled),
// flashing, icons (every change of the window's icon), asked (attention requests), told (the
// number of messages), said (the last one: icon, buttons, prompt, and its title unless the
// caption), file, last (the view's last line), dialogs, recent, watched, notify (the folding
// interval, or off), notes (the desktop notifications, "|" between summary and body, " / "
// between notes).
struct Scenario : LoadedForm {
    int lines = 30, rotations = 0;
    QString icons; // every change of the window's icon, in order

    Scenario() {
        dir.write("app.log", numberedLines(1, 30));
        dir.write("new.log", "new\n");
        form.window.observe([this] {
            const QString icon = QString::number(form.window.icon());
            if (!icons.endsWith(icon) && (!icons.isEmpty() || icon != u'0')) {
                icons += icon;
            }
        });
    }

    QString name(const QString& path) const { return QDir(dir.path({})).relativeFilePath(path); }
    static QString yes(bool on) { return on ? "yes" : "no"; }
    // A tick happens only while its timer runs.
    void tick(const ui::Timer& timer, void (frmMain::*handler)()) {
        timer.enabled() ? (form.*handler)() : void();
    }

    void run(const QString& steps) {
        QString arg;
        std::map<QString, std::function<void()>> act;
        act.emplace("open",
                    [&] { form.OpenWatchedFile(dir.path(arg.isEmpty() ? "app.log" : arg)); });
        act.emplace("start", [&] { form.mnuMonitorStart.click(); });
        act.emplace("stop", [&] { form.mnuMonitorStop_Click(); });
        act.emplace("menu-stop", [&] { form.mnuMonitorStop.click(); });
        act.emplace("poll", [&] { tick(form.timFileCheck, &frmMain::timFileCheck_Timer); });
        act.emplace("flash", [&] { tick(form.timFlash, &frmMain::timFlash_Timer); });
        act.emplace("notify", [&] { tick(form.timNotify, &frmMain::timNotify_Timer); });
        act.emplace("change", [&] { form.fileWatch_Changed(); });
        act.emplace("append",
                    [&] { dir.append("app.log", "line " + QByteArray::number(++lines) + '\n'); });
        act.emplace("away", [&] { port.active = false; });
        act.emplace("back", [&] { port.active = true; });
        act.emplace("rotate", [&] {
            QVERIFY(QFile::rename(dir.path("app.log"), dir.path(QString::number(++rotations))));
        });
        act.emplace("create", [&] { dir.write("app.log", "after rotation\n"); });
        act.emplace("folder", [&] { QVERIFY(QDir(dir.path({})).mkdir("app.log")); });
        act.emplace("no", [&] { port.msgAnswers.push_back(PlatformPort::MsgAnswer::No); });
        act.emplace("fileopen", [&] {
            port.dialogAnswers.push_back(QStringList(!arg.isEmpty(), dir.path(arg)));
            form.mnuFileOpen.click();
        });
        act.emplace("drop", [&] { form.Form_OLEDragDrop({true, {dir.path(arg)}}); });
        act.emplace("follow", [&] { form.mnuOptionFollowOnOpen.click(); });
        act.emplace("rules", [&] {
            QList<platform::WatchRule> rules = settings::defaultRules();
            rules[0].enabled = rules[1].enabled = true;
            port.ruleAnswers.push_back(rules);
            form.mnuOptionWatchRules.click();
        });
        act.emplace("error",
                    [&] { dir.append("app.log", "ERROR " + QByteArray::number(++lines) + '\n'); });
        act.emplace("rule-tick", [&] { tick(form.timRuleNotify, &frmMain::timRuleNotify_Timer); });
        act.emplace("recent", [&] {
            global.gstrRecentFiles[1] = dir.path(arg);
            form.BuildRecentMenu();
            form.mnuRecentList.click(2);
        });
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            arg = step.section(u':', 1);
            act.at(step.section(u':', 0, 0))();
        }
    }

    QString fact(const QString& what) const {
        const QString app = frmMain::GetAppCaption();
        QStringList watched, recent, said;
        for (const QString& watchedPath : form.fileWatch.paths()) {
            watched << name(watchedPath);
        }
        for (const QString& slot : global.gstrRecentFiles) {
            recent << (slot.isEmpty() ? slot : name(slot));
        }
        for (const FakePort::Message& m : port.messages) {
            said = QStringList{std::array{"Critical", "Question", "Information"}[int(m.icon)],
                               m.buttons == PlatformPort::MsgButtons::Ok ? "Ok" : "YesNo",
                               m.prompt + (m.title == app ? "" : " [" + m.title + ']')};
        }
        const std::map<QString, QString> facts{
            {"polling", yes(form.timFileCheck.enabled())},
            {"caption", QString(form.window.caption()).replace(app, "app")},
            {"start", yes(form.mnuMonitorStart.enabled())},
            {"stop", yes(form.mnuMonitorStop.enabled())},
            {"flashing", yes(form.timFlash.enabled())},
            {"icons", icons},
            {"asked", QString::number(port.attentionCount)},
            {"told", QString::number(port.messages.size())},
            {"said", said.join(u' ')},
            {"file", name(form.watchState().mstrFilePath)},
            {"last", form.txtView.text().trimmed().section(u'\n', -1).trimmed()},
            {"dialogs", QString::number(port.dialogs.size())},
            {"recent", recent.join(u',').remove(QRegularExpression(",+$"))},
            {"watched", watched.join(u' ')},
            {"notify",
             form.timNotify.enabled() ? QString::number(form.timNotify.interval()) : "off"},
            {"notes", QStringList(port.notes.begin(), port.notes.end()).join(" / ")},
        };
        return facts.at(what);
    }
};
