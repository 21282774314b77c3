// SPDX-License-Identifier: MIT
#pragma once

#include "platform/PlatformPort.h"

#include <QStringList>
#include <deque>
#include <vector>

// A scripted desktop: answers come from queues the test fills, and every request is recorded.
class FakePort : public logwarden::platform::PlatformPort {
public:
    struct Message {
        QString prompt;
        MsgButtons buttons;
        MsgIcon icon;
        QString title;
    };
    struct Input {
        QString prompt, title, defaultAnswer;
    };
    struct Started {
        QString program;
        QStringList arguments;
        bool maximized;
    };

    MsgAnswer MsgBox(const QString& prompt, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override {
        messages.push_back({prompt, buttons, icon, title});
        return take(msgAnswers, buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok);
    }
    QString InputBox(const QString& prompt, const QString& title, const QString& shown) override {
        inputs.push_back({prompt, title, shown});
        return take(inputAnswers, QString());
    }
    void setClipboardText(const QString& text) override { clipboard = text; }
    bool isActiveWindow() const override { return active; }
    void setWindowForward(bool topmost) override { forwardCalls.push_back(topmost); }
    void requestAttention() override { ++attentionCount; }
    void focusWindow() override { ++focusCount; }
    void closeWindow() override {}
    QStringList showFileDialog(const logwarden::platform::FileDialogRequest& request) override {
        dialogs.push_back(request);
        return take(dialogAnswers, QStringList());
    }
    QString startProcess(const QString& program, const QStringList& arguments,
                         bool maximized) override {
        started.push_back({program, arguments, maximized});
        return startError;
    }
    QString applicationFilePath() const override { return programPath; }
    std::optional<QList<logwarden::platform::WatchRule>>
    editWatchRules(const logwarden::platform::WatchRulesRequest& request) override {
        ruleDialogs.push_back(request);
        return take(ruleAnswers, std::optional<QList<logwarden::platform::WatchRule>>());
    }
    void notify(const QString& summary, const QString& body) override {
        notes.push_back(summary + u'|' + body);
    }
    void printError(const QString& line) override { errors.push_back(line); }

    bool active = true;
    std::deque<MsgAnswer> msgAnswers;
    std::deque<QString> inputAnswers;
    std::deque<QStringList> dialogAnswers; // the files chosen; none for a cancel
    std::deque<std::optional<QList<logwarden::platform::WatchRule>>> ruleAnswers; // none: cancel
    QString startError;
    QString programPath = QStringLiteral("/opt/logwarden/bin/logwarden");

    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<logwarden::platform::FileDialogRequest> dialogs;
    std::vector<logwarden::platform::WatchRulesRequest> ruleDialogs;
    std::vector<QString> notes; // "summary|body"
    std::vector<Started> started;
    std::vector<bool> forwardCalls;
    std::vector<QString> errors;
    QString clipboard;
    int focusCount = 0, attentionCount = 0;

private:
    template <class T> static T take(std::deque<T>& queue, T answer) {
        if (!queue.empty()) {
            answer = queue.front();
            queue.pop_front();
        }
        return answer;
    }
};
