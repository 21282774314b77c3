// SPDX-License-Identifier: MIT
#pragma once

#include <QFileSystemWatcher>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <vector>

class QFrame;
class QLabel;

namespace logwarden::core {
class frmMain;
}

namespace logwarden::ui {
class Control;
class Label;
class Placed;
class Timer;
} // namespace logwarden::ui

namespace logwarden::gui {

using core::frmMain;
class LogView;

// Mirrors frmMain's control models onto widgets and turns what the user and the platform do
// into calls of its handlers. Holds no behaviour of its own.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(frmMain& form);
    ~MainWindow() override;

    LogView& textView() const { return *mTextView; }
    // Shows the window in the state that start-up chose.
    void showInChosenState();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QFrame* addPanel(ui::Placed& frame, std::initializer_list<std::pair<ui::Label*, bool>> labels);
    void observe(ui::Control& model, const std::function<void()>& sync);
    void bindPlaced(QWidget& widget, ui::Placed& model);
    void bindLabel(QLabel& widget, ui::Label& model, bool valueLabel);
    void bindTextView();
    void bindTimer(QTimer& timer, ui::Timer& model, const std::function<void()>& tick);
    void bindWindow();
    void bindFileWatch();
    void syncFileWatch();
    void applyWindowState();
    void applyOuterSize();
    void updateSizeLimits();
    void reportGeometry();

    frmMain& mForm;
    QWidget* mClient;
    LogView* mTextView = nullptr;
    QTimer mFileCheck;
    QTimer mFlash;
    QTimer mNotify;
    QTimer mReadPending;
    QTimer mRuleNotify;
    QFileSystemWatcher mWatcher;
    std::vector<ui::Control*> mObserved;
    bool mShown = false;
    int mShownIcon = -1;
    unsigned long long mShownTextRevision = 0;
    unsigned long long mShownStylerRevision = 0;
};

} // namespace logwarden::gui
