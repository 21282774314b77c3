// SPDX-License-Identifier: MIT
// Watch rules: the colours of the lines they find, the notifications of new ones, and following
// a file from the moment it is opened.
#include "core/frmMain.h"
#include "ui/ViewText.h"

#include <QFileInfo>
#include <algorithm>

namespace logwarden::core {
namespace {

// A notification shows a line, not a log: the rest is in the window.
constexpr qsizetype NoteLength = 200;

QString noteLine(const QString& line) {
    qsizetype length = std::min(line.size(), NoteLength);
    if (length < line.size() && line.at(length - 1).isHighSurrogate()) {
        --length;
    }
    return ui::visibleText(QStringView(line).first(length), true) +
           (length < line.size() ? QStringLiteral("…") : QString());
}

} // namespace

void frmMain::mnuOptionWatchRules_Click() {
    platform::WatchRulesRequest request{g.gudtWatch.rules, {}, &settings::rulesProblem};
    if (mWatchUnread) {
        request.note = QStringLiteral("%1 を読めなかったため、規則は空です（%2）。"
                                      "ここで決めた規則は、閉じるときに保存されません。")
                           .arg(QLatin1String(settings::WatchFileName),
                                QString::fromLocal8Bit(mWatchUnread.message()));
    }
    if (const auto edited = port.editWatchRules(request)) {
        g.gudtWatch.rules = *edited;
        applyWatchRules();
    }
}

void frmMain::mnuOptionFollowOnOpen_Click() {
    g.gudtWatch.followOnOpen = !g.gudtWatch.followOnOpen;
    mnuOptionFollowOnOpen.setChecked(g.gudtWatch.followOnOpen);
}

// The view is restyled only where rules colour or coloured before, so that without them it
// stays the classic view.
void frmMain::applyWatchRules() {
    ui::LineStyler styler = settings::lineStyler(g.gudtWatch.rules);
    if (styler || mStyled) {
        mStyled = static_cast<bool>(styler);
        txtView.setLineStyler(std::move(styler));
    }
    mNotifying.clear();
    for (qsizetype i = 0; i < g.gudtWatch.rules.size(); ++i) {
        const platform::WatchRule& rule = g.gudtWatch.rules[i];
        if (rule.enabled && rule.notify && settings::ruleProblem(rule).isEmpty()) {
            mNotifying.push_back({static_cast<int>(i), settings::ruleMatcher(rule)});
        }
    }
    mNotifyFold.clear();
    timRuleNotify.setEnabled(false);
}

// The lines a read added to those it found before, as the view tells them apart.
void frmMain::noticeNewLines(const QString& before) {
    if (mNotifying.empty() || !timFileCheck.enabled()) {
        return;
    }
    const QList<QStringView> next = ui::splitLines(mstrTailText);
    const ui::LineChange change = ui::lineChange(ui::splitLines(before), next);
    const qsizetype firstNew = change.kept > 0 ? change.fresh + change.kept : 0;
    const QString file = QFileInfo(mstrFilePath).fileName();
    for (const NotifyingRule& rule : mNotifying) {
        int count = 0;
        QStringView first;
        for (qsizetype i = firstNew; i < next.size(); ++i) {
            if (rule.matcher.matches(next[i]) && count++ == 0) {
                first = next[i];
            }
        }
        if (const auto note = mNotifyFold.offer(rule.index, file, first.toString(), count)) {
            sendNote(*note);
        }
    }
    timRuleNotify.setEnabled(mNotifyFold.quiet());
}

void frmMain::timRuleNotify_Timer() {
    for (const NotifyFold::Note& note : mNotifyFold.tick()) {
        sendNote(note);
    }
    timRuleNotify.setEnabled(mNotifyFold.quiet());
}

void frmMain::sendNote(const NotifyFold::Note& note) {
    QString body = noteLine(note.line);
    if (note.more > 0) {
        body += QStringLiteral("\n（ほかに %1 行が一致）").arg(note.more);
    }
    port.notify(ui::visibleText(note.file, true), body);
}

} // namespace logwarden::core
