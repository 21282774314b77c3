// SPDX-License-Identifier: MIT
#include "gui/MainWindow.h"

#include "core/frmMain.h"
#include "gui/Fonts.h"
#include "gui/Icons.h"
#include "gui/LogView.h"
#include "gui/MenuBinding.h"
#include "gui/Twips.h"
#include "platform/SystemText.h"
#include "ui/ViewText.h"
#include "view/Layout.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSysInfo>
#include <QUrl>
#include <algorithm>

namespace logwarden::gui {

namespace {

QColor toQColor(ui::Color c) {
    return {c.red, c.green, c.blue};
}

ui::WindowState stateOf(const QWidget& w) {
    if (w.isMinimized()) {
        return ui::WindowState::Minimized;
    }
    return w.isMaximized() ? ui::WindowState::Maximized : ui::WindowState::Normal;
}

// One line of the window's font is taller than a label's design height, which would cut the
// Japanese glyphs: every label gets at least one line and is centred in its panel, so the labels
// of a row stay on one line whatever their design heights.
QRect centredInPanel(QRect design, const QLabel& label) {
    const int panelHeight = label.parentWidget()->height();
    design.setHeight(
        std::min(std::max(design.height(), label.fontMetrics().height()), panelHeight));
    design.moveTop((panelHeight - design.height()) / 2);
    return design;
}

// A tooltip that looks like markup is shown as markup: a file name must show as it is.
QString plainToolTip(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    return QStringLiteral("<p style='white-space:pre'>") +
           text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")) + QStringLiteral("</p>");
}

// The fewest pixels that cover the twips, so a minimum in twips is never undercut by rounding.
int coveringPixels(double twips, int pixels, double back) {
    return back < twips ? pixels + 1 : pixels;
}

// A file of this machine, named whole: file://otherhost/x is another machine's, and a relative
// file: URL names no file.
bool isOwnFile(const QUrl& url) {
    const QString host = url.host();
    return url.isLocalFile() && url.path().startsWith(u'/') &&
           (host.isEmpty() || host == QLatin1String("localhost") ||
            host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0);
}

// Opening a dropped file only reads it, so the drop is taken as a copy (or a link), never as
// the move a source might propose and then carry out by deleting its file.
bool takeAsCopy(QDropEvent& event) {
    const Qt::DropActions offered = event.possibleActions();
    if (!event.mimeData()->hasUrls() || !(offered & (Qt::CopyAction | Qt::LinkAction))) {
        return false;
    }
    event.setDropAction(offered.testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::LinkAction);
    event.accept();
    return true;
}

} // namespace

MainWindow::MainWindow(frmMain& form) : mForm(form), mClient(new QWidget(this)) {
    setFont(windowFont(9));
    mTextView = new LogView(mClient); // after the font, so it is laid out once, in that font
    setCentralWidget(mClient);
    setAcceptDrops(true);
    bindMenuBar(*menuBar(), mForm.menuBar());

    addPanel(mForm.fraFilePath, {{&mForm.lblFilePathCap, false}, {&mForm.lblFilePath, true}});
    addPanel(mForm.fraLastModified,
             {{&mForm.lblLastModifiedCap, false}, {&mForm.lblLastModified, true}});
    addPanel(mForm.fraFileLen, {{&mForm.lblFileLenCap, false}, {&mForm.lblFileLen, true}});
    addPanel(mForm.fraSerchWord,
             {{&mForm.lblSerchWordCaption, false}, {&mForm.lblSerchWord, true}});
    bindTextView();
    bindTimer(mFileCheck, mForm.timFileCheck, [this] { mForm.timFileCheck_Timer(); });
    bindTimer(mFlash, mForm.timFlash, [this] { mForm.timFlash_Timer(); });
    bindTimer(mNotify, mForm.timNotify, [this] { mForm.timNotify_Timer(); });
    bindTimer(mReadPending, mForm.timReadPending, [this] { mForm.timReadPending_Timer(); });
    bindTimer(mRuleNotify, mForm.timRuleNotify, [this] { mForm.timRuleNotify_Timer(); });
    bindFileWatch();
    bindWindow();
}

// The models outlive the widgets: stop them from calling into a window that is gone.
MainWindow::~MainWindow() {
    unbindMenus(mForm.menuBar());
    for (ui::Control* model : mObserved) {
        model->observe({});
    }
}

void MainWindow::observe(ui::Control& model, const std::function<void()>& sync) {
    sync();
    model.observe(sync);
    mObserved.push_back(&model);
}

QFrame* MainWindow::addPanel(ui::Placed& frame,
                             std::initializer_list<std::pair<ui::Label*, bool>> labels) {
    auto* panel = new QFrame(mClient);
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bindPlaced(*panel, frame);
    for (const auto& [model, valueLabel] : labels) {
        auto* label = new QLabel(panel);
        bindLabel(*label, *model, valueLabel);
    }
    return panel;
}

void MainWindow::bindPlaced(QWidget& widget, ui::Placed& model) {
    const auto sync = [this, &widget, &model] {
        widget.setGeometry(Twips(*this).toPixels(model.rect()));
        widget.setVisible(model.visible());
    };
    observe(model, sync);
}

void MainWindow::bindLabel(QLabel& widget, ui::Label& model, bool valueLabel) {
    if (valueLabel) {
        widget.setAutoFillBackground(true);
        widget.setBackgroundRole(QPalette::Base);
        widget.setForegroundRole(QPalette::Text);
    }
    widget.setTextFormat(Qt::PlainText);
    // A path that does not fit keeps both ends: where it starts and the file's name.
    const bool elideMiddle = &model == &mForm.lblFilePath;
    const auto sync = [this, &widget, &model, valueLabel, elideMiddle] {
        widget.setGeometry(centredInPanel(Twips(*this).toPixels(model.rect()), widget));
        // A name or keyword shows as the view shows a line: nothing in it hides or reorders the
        // rest, or looks like another name.
        const QString shown = ui::visibleText(model.caption(), true);
        widget.setText(elideMiddle
                           ? widget.fontMetrics().elidedText(shown, Qt::ElideMiddle, widget.width())
                           : shown);
        if (valueLabel) {
            // Its whole caption, made visible, and the note below it.
            widget.setToolTip(plainToolTip(ui::visibleText(model.caption(), true) +
                                           model.toolTip().sliced(model.caption().size())));
        }
        widget.setVisible(model.visible());
    };
    observe(model, sync);
}

void MainWindow::bindTextView() {
    ui::TextBox& model = mForm.txtView;
    const auto sync = [this, &model] {
        mTextView->setGeometry(Twips(*this).toPixels(model.rect()));
        mTextView->setVisible(model.visible());
        QPalette palette = mTextView->palette();
        palette.setColor(QPalette::Base, toQColor(model.backColor()));
        palette.setColor(QPalette::Text, toQColor(model.foreColor()));
        mTextView->setPalette(palette);
        if (mTextView->font().pointSize() != model.fontSize()) {
            mTextView->setFont(windowFont(model.fontSize()));
        }
        if (mShownStylerRevision != model.stylerRevision()) {
            mShownStylerRevision = model.stylerRevision();
            mTextView->setLineStyler(model.lineStyler());
        }
        if (mShownTextRevision != model.textRevision()) {
            mShownTextRevision = model.textRevision();
            mTextView->showText(model.text());
        }
    };
    observe(model, sync);
}

void MainWindow::bindTimer(QTimer& timer, ui::Timer& model, const std::function<void()>& tick) {
    connect(&timer, &QTimer::timeout, this, tick);
    const auto sync = [&timer, &model] {
        if (timer.interval() != model.interval()) {
            timer.setInterval(model.interval()); // restarts a running timer, as it should
        }
        if (model.enabled() && !timer.isActive()) {
            timer.start();
        } else if (!model.enabled()) {
            timer.stop();
        }
    };
    observe(model, sync);
}

void MainWindow::bindFileWatch() {
    const auto changed = [this] {
        syncFileWatch(); // a file rotated away is dropped from the watch; a new one is added
        mForm.fileWatch_Changed();
    };
    connect(&mWatcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&mWatcher, &QFileSystemWatcher::directoryChanged, this, changed);
    observe(mForm.fileWatch, [this] { syncFileWatch(); });
}

void MainWindow::syncFileWatch() {
    const QStringList wanted = mForm.fileWatch.paths();
    const QStringList watched = mWatcher.files() + mWatcher.directories();
    QStringList gone;
    std::copy_if(watched.begin(), watched.end(), std::back_inserter(gone),
                 [&](const QString& path) { return !wanted.contains(path); });
    if (!gone.isEmpty()) {
        mWatcher.removePaths(gone);
    }
    QStringList added;
    std::copy_if(wanted.begin(), wanted.end(), std::back_inserter(added), [&](const QString& path) {
        return !watched.contains(path) && QFileInfo::exists(path);
    });
    if (!added.isEmpty()) {
        mWatcher.addPaths(added); // a path that cannot be watched is left to the timer
    }
}

void MainWindow::bindWindow() {
    ui::FormWindow& model = mForm.window;
    const Twips twips(*this);
    resize(twips.toPixelsX(model.clientSize().width),
           twips.toPixelsY(model.clientSize().height) + menuBar()->sizeHint().height());
    const auto sync = [this, &model] {
        setWindowTitle(model.caption());
        if (mShownIcon != model.icon()) {
            mShownIcon = model.icon();
            setWindowIcon(windowIconImage(mShownIcon));
        }
        applyWindowState();
        applyOuterSize();
    };
    observe(model, sync);
    updateSizeLimits();
}

void MainWindow::applyWindowState() {
    const ui::WindowState wanted = mForm.window.windowState();
    if (wanted == stateOf(*this)) {
        return;
    }
    Qt::WindowStates states = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (wanted == ui::WindowState::Minimized) {
        states |= Qt::WindowMinimized;
    } else if (wanted == ui::WindowState::Maximized) {
        states |= Qt::WindowMaximized;
    }
    setWindowState(states);
}

// Only a size the form asked for differs from the one last reported; before the window is shown
// the form still works on its design size, which must not replace the real one.
void MainWindow::applyOuterSize() {
    if (!mShown || stateOf(*this) != ui::WindowState::Normal) {
        return;
    }
    const Twips t(*this);
    const QSize outer(t.toPixelsX(mForm.window.outerSize().width),
                      t.toPixelsY(mForm.window.outerSize().height));
    if (outer != frameGeometry().size()) {
        resize(outer - (frameGeometry().size() - size()));
    }
}

// The smallest outer size holds for the whole window, decorations and menu bar included, so
// dragging stops there instead of springing back. The largest is twice the desktop: a size
// another program asks for must not cost gigabytes of pixels.
void MainWindow::updateSizeLimits() {
    const Twips t(*this);
    const double least = view::MinimumOuterTwips;
    const int outerX = t.toPixelsX(least);
    const int outerY = t.toPixelsY(least);
    const QSize outer(coveringPixels(least, outerX, t.fromPixelsX(outerX)),
                      coveringPixels(least, outerY, t.fromPixelsY(outerY)));
    const QSize decorations = frameGeometry().size() - size();
    const QSize wanted = outer - decorations;
    if (minimumSize() != wanted) {
        setMinimumSize(wanted);
    }
    const QSize most = (screen()->virtualSize() * 2 - decorations).expandedTo(wanted);
    if (maximumSize() != most) {
        setMaximumSize(most);
    }
}

void MainWindow::showInChosenState() {
    mShown = true;
    show();
    mForm.window.reportHandle(static_cast<std::uintptr_t>(winId()));
    reportGeometry();
}

void MainWindow::reportGeometry() {
    updateSizeLimits();
    const Twips t(*this);
    const QSize outer = frameGeometry().size();
    mForm.window.reportGeometry(
        stateOf(*this), {t.fromPixelsX(outer.width()), t.fromPixelsY(outer.height())},
        {t.fromPixelsX(mClient->width()), t.fromPixelsY(mClient->height())});
    mForm.Form_Resize();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (size() != size().boundedTo(maximumSize())) {
        resize(size().boundedTo(maximumSize())); // no window manager held the limit
        return;
    }
    if (mShown) {
        reportGeometry();
    }
}

// The decorations become known only after the window manager framed the window.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    updateSizeLimits();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && mShown) {
        reportGeometry();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    mFileCheck.stop();
    mFlash.stop();
    mForm.Form_QueryUnload();
    event->accept();
}

// Children accept no drops, so a drop anywhere in the window (text view, panels and their
// labels, the keyword panel too) arrives here.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    takeAsCopy(*event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    takeAsCopy(*event);
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (!takeAsCopy(*event)) {
        return;
    }
    const QMimeData* data = event->mimeData();
    core::DropData drop{data->hasUrls(), {}};
    for (const QUrl& url : data->urls()) {
        if (!isOwnFile(url)) {
            drop.hasFileList = false;
        }
        drop.files << platform::localFileOf(url);
    }
    mForm.Form_OLEDragDrop(drop);
}

} // namespace logwarden::gui
