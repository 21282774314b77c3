// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace logwarden::gui {

// The ways a session ends the program besides the window's own close box, each taken through
// that close, so that the settings are saved: the system's request to end (SIGTERM, SIGHUP,
// SIGINT), the session manager's end of session, and the toolkit quitting by itself. A lost display
// ends the process from inside the toolkit; `saveSettings` runs just before. One per process.
class SessionEnd : public QObject {
public:
    SessionEnd(QWidget& window, std::function<void()> saveSettings);
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;
    SessionEnd(SessionEnd&&) = delete;
    SessionEnd& operator=(SessionEnd&&) = delete;
    ~SessionEnd() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closeAndQuit();

    QWidget& mWindow;
};

} // namespace logwarden::gui
