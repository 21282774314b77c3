// SPDX-License-Identifier: MIT
#pragma once

#include "LoadedForm.h"
#include "Rows.h"

#include <functional>
#include <map>

// The window on the scripted desktop in a folder of its own (app.log of thirty numbered lines,
// new.log and a folder, sub), driven by a line of steps and read back as named facts, so that a
// scenario is one row: "open start away append poll" gives "flashing=yes; icons=".
struct Scenario : LoadedForm {
    int lines = 30;
    int rotations = 0;
    QString icons; // every change of the window's icon, in order

    Scenario() {
        dir.write("app.log", numberedLines(1, 30));
        dir.write("new.log", "new\n");
        QDir(dir.path({})).mkdir("sub");
        form.window.observe([this] {
            const QString icon = QString::number(form.window.icon());
            if (!icons.endsWith(icon) && (!icons.isEmpty() || icon != u'0')) {
                icons += icon;
            }
        });
    }

    QString path(const QString& name) const { return dir.path(name); }
    QString name(const QString& path) const { return QDir(dir.path({})).relativeFilePath(path); }

    static QString yes(bool on) { return on ? "yes" : "no"; }
    // A tick happens only while its timer runs.
    void tick(const ui::Timer& timer, void (frmMain::*handler)()) {
        timer.enabled() ? (form.*handler)() : void();
    }
    QStringList paths(const QString& names) const {
        QStringList files;
        for (const QString& file : names.split(u',', Qt::SkipEmptyParts)) {
            files << path(file);
        }
        return files;
    }

    // "stop" is the handler, which the open command calls too, whether or not the menu item is
    // enabled.
    void run(const QString& steps) {
        QString arg;
        std::map<QString, std::function<void()>> act;
        act.emplace("open", [&] { form.OpenWatchedFile(path(arg.isEmpty() ? "app.log" : arg)); });
        act.emplace("start", [&] { form.mnuMonitorStart.click(); });
        act.emplace("stop", [&] { form.mnuMonitorStop_Click(); });
        act.emplace("poll", [&] { tick(form.timFileCheck, &frmMain::timFileCheck_Timer); });
        act.emplace("flash", [&] { tick(form.timFlash, &frmMain::timFlash_Timer); });
        act.emplace("notify", [&] { tick(form.timNotify, &frmMain::timNotify_Timer); });
        act.emplace("change", [&] { form.fileWatch_Changed(); });
        act.emplace("append",
                    [&] { dir.append("app.log", "line " + QByteArray::number(++lines) + '\n'); });
        act.emplace("away", [&] { port.active = false; });
        act.emplace("back", [&] { port.active = true; });
        act.emplace("rotate",
                    [&] { QFile::rename(path("app.log"), path(QString::number(++rotations))); });
        act.emplace("create", [&] { dir.write("app.log", "after rotation\n"); });
        act.emplace("answer", [&] {
            port.msgAnswers.push_back(arg == u"No" ? PlatformPort::MsgAnswer::No
                                                   : PlatformPort::MsgAnswer::Yes);
        });
        act.emplace("choose", [&] { port.dialogAnswers.push_back(paths(arg)); });
        act.emplace("fileopen", [&] { form.mnuFileOpen.click(); });
        act.emplace("drop", [&] { form.Form_OLEDragDrop({true, paths(arg)}); });
        act.emplace("remember",
                    [&] { global.gstrRecentFiles[1] = path(arg), form.BuildRecentMenu(); });
        act.emplace("recent", [&] { form.mnuRecentList.click(arg.toInt()); });
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            arg = step.section(u':', 1);
            act.at(step.section(u':', 0, 0))();
        }
    }

    // The caption with the program's own name as "app"; the last message as its icon, buttons
    // and prompt, with its title when it is not the caption.
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
            {"focused", QString::number(port.focusCount)},
            {"recent", recent.join(u',').remove(QRegularExpression(",+$"))},
            {"watched", watched.join(u' ')},
            {"notify",
             form.timNotify.enabled() ? QString::number(form.timNotify.interval()) : "off"},
        };
        return facts.at(what);
    }

    // "name=value; name=value": each fact named, as expected.
    void check(const QString& expected) const {
        for (const QString& item : expected.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
            const QString what = item.section(u'=', 0, 0);
            QCOMPARE(what + u'=' + fact(what), item);
        }
    }
};

// A name, the steps and the facts they lead to.
using Steps = std::tuple<const char*, QString, QString>;
