// SPDX-License-Identifier: MIT
#pragma once

#include "files/OpenFileName.h"
#include "platform/PlatformPort.h"

#include <QStringList>
#include <deque>
#include <vector>

// A scripted desktop: answers come from queues the test fills, and every request is recorded.
class FakePort : public PlatformPort {
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
    struct Dialog {
        FileDialog function;
        files::OpenFileName record; // as handed in, before the choice was written
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
    bool showFileDialog(FileDialog function, files::OpenFileName& record) override {
        dialogs.push_back({function, record});
        return files::completeChoice(record, take(dialogAnswers, QStringList()));
    }
    std::uintptr_t windowHandle() const override { return handle; }
    QString startProcess(const QString& program, const QStringList& arguments,
                         bool maximized) override {
        started.push_back({program, arguments, maximized});
        return startError;
    }
    QString applicationFilePath() const override { return programPath; }
    void printError(const QString& line) override { errors.push_back(line); }

    bool active = true;
    std::deque<MsgAnswer> msgAnswers;
    std::deque<QString> inputAnswers;
    std::deque<QStringList> dialogAnswers; // the files chosen; none for a cancel
    QString startError;
    QString programPath = QStringLiteral("/opt/logwarden/bin/logwarden");
    std::uintptr_t handle = 0x2a01;

    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<Dialog> dialogs;
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
