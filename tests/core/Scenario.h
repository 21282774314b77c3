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
            if (!icons.endsWith(QString::number(form.window.icon())) &&
                (!icons.isEmpty() || form.window.icon() != 0)) {
                icons += QString::number(form.window.icon());
            }
        });
    }

    QString path(const QString& name) const {
        return name.startsWith(u'/') ? name : dir.path(name);
    }
    QString name(const QString& path) const {
        return path.isEmpty() ? path : QDir(dir.path({})).relativeFilePath(path);
    }

    // A tick happens only while its timer runs. "stop" is the handler, which the open command
    // calls too, whether or not the menu item is enabled.
    void run(const QString& steps) {
        QString arg;
        const auto tick = [this](const ui::Timer& timer, void (frmMain::*handler)()) {
            if (timer.enabled()) {
                (form.*handler)();
            }
        };
        const auto paths = [&] {
            QStringList files;
            for (const QString& file : arg.split(u',', Qt::SkipEmptyParts)) {
                files << path(file);
            }
            return files;
        };
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
        act.emplace("choose", [&] { port.dialogAnswers.push_back(paths()); });
        act.emplace("fileopen", [&] { form.mnuFileOpen.click(); });
        act.emplace("drop", [&] { form.Form_OLEDragDrop({true, paths()}); });
        act.emplace("droptext", [&] { form.Form_OLEDragDrop({false, paths()}); });
        act.emplace("remember",
                    [&] { global.gstrRecentFiles[1] = path(arg), form.BuildRecentMenu(); });
        act.emplace("recent", [&] { form.mnuRecentList.click(arg.toInt()); });
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            arg = step.section(u':', 1);
            act.at(step.section(u':', 0, 0))();
        }
    }

    QString fact(const QString& what) const {
        const auto yes = [](bool on) {
            return on ? QStringLiteral("yes") : QStringLiteral("no");
        };
        const QString& caption = form.window.caption();
        const QString plain = frmMain::GetAppCaption();
        std::map<QString, std::function<QString()>> facts;
        facts.emplace("polling", [&] { return yes(form.timFileCheck.enabled()); });
        facts.emplace("caption", [&] {
            return caption == plain ? "plain" : caption == plain + " - 監視中" ? "marked" : caption;
        });
        facts.emplace("start", [&] { return yes(form.mnuMonitorStart.enabled()); });
        facts.emplace("stop", [&] { return yes(form.mnuMonitorStop.enabled()); });
        facts.emplace("flashing", [&] { return yes(form.timFlash.enabled()); });
        facts.emplace("icons", [&] { return icons; });
        facts.emplace("asked", [&] { return QString::number(port.attentionCount); });
        facts.emplace("told", [&] { return QString::number(port.messages.size()); });
        facts.emplace("said", [&] { return said(); });
        facts.emplace("file", [&] { return name(form.watchState().mstrFilePath); });
        facts.emplace("last",
                      [&] { return form.txtView.text().trimmed().section(u'\n', -1).trimmed(); });
        facts.emplace("redraws", [&] { return QString::number(form.txtView.textRevision()); });
        facts.emplace("dialogs", [&] { return QString::number(port.dialogs.size()); });
        facts.emplace("focused", [&] { return QString::number(port.focusCount); });
        facts.emplace("recent", [&] { return recent(); });
        facts.emplace("watched", [&] {
            QStringList names;
            for (const QString& watched : form.fileWatch.paths()) {
                names << name(watched);
            }
            return names.join(u' ');
        });
        facts.emplace("notify", [&] {
            return form.timNotify.enabled() ? QString::number(form.timNotify.interval()) : "off";
        });
        return facts.at(what)();
    }

    // The last message: icon, buttons and prompt, and its title when it is not the caption.
    QString said() const {
        if (port.messages.empty()) {
            return {};
        }
        const FakePort::Message& m = port.messages.back();
        const char* icons[] = {"Critical", "Question", "Information"};
        return QStringLiteral("%1 %2 %3")
                   .arg(icons[int(m.icon)],
                        m.buttons == PlatformPort::MsgButtons::Ok ? "Ok" : "YesNo", m.prompt) +
               (m.title == frmMain::GetAppCaption() ? "" : " [" + m.title + ']');
    }
    QString recent() const {
        QStringList names;
        for (const QString& slot : global.gstrRecentFiles) {
            names << (slot.isEmpty() ? QString() : name(slot));
        }
        return names.join(u',').remove(QRegularExpression(",+$"));
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
