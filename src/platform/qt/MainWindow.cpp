#include "platform/qt/MainWindow.h"

#include "core/frmMain.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/MenuBinding.h"
#include "platform/qt/TextView.h"
#include "platform/qt/Twips.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

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

MainWindow::MainWindow(frmMain& form)
    : mForm(form), mClient(new QWidget(this)), mTextView(new TextView(mClient)) {
    setFont(windowFont(9));
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
    bindTimer(mFileCheck, mForm.timFileCheck, &frmMain::timFileCheck_Timer);
    bindTimer(mFlash, mForm.timFlash, &frmMain::timFlash_Timer);
    bindWindow();
}

// The models outlive the widgets: stop them from calling into a window that is gone.
MainWindow::~MainWindow() = default;

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
    sync();
    model.observe(sync);
}

void MainWindow::bindLabel(QLabel& widget, ui::Label& model, bool valueLabel) {
    if (valueLabel) {
        widget.setAutoFillBackground(true);
        widget.setBackgroundRole(QPalette::Base);
        widget.setForegroundRole(QPalette::Text);
    }
    widget.setTextFormat(Qt::PlainText);
    const auto sync = [this, &widget, &model] {
        widget.setText(model.caption());
        widget.setGeometry(Twips(*this).toPixels(model.rect()));
        widget.setVisible(model.visible());
    };
    sync();
    model.observe(sync);
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
        if (mShownTextRevision != model.textRevision()) {
            mShownTextRevision = model.textRevision();
            mTextView->setPlainText(model.text());
        }
    };
    sync();
    model.observe(sync);
}

void MainWindow::bindTimer(QTimer& timer, ui::Timer& model, void (frmMain::*handler)()) {
    timer.setInterval(model.interval());
    connect(&timer, &QTimer::timeout, this, [this, handler] { (mForm.*handler)(); });
    const auto sync = [&timer, &model] {
        if (model.enabled() && !timer.isActive()) {
            timer.start();
        } else if (!model.enabled()) {
            timer.stop();
        }
    };
    sync();
    model.observe(sync);
}

void MainWindow::bindWindow() {
    ui::FormWindow& model = mForm.window;
    const Twips twips(*this);
    resize(twips.toPixelsX(model.clientSize().width),
           twips.toPixelsY(model.clientSize().height) + menuBar()->sizeHint().height());
    model.observe([this, &model] {
        setWindowTitle(model.caption());
        applyWindowState();
        const Twips t(*this);
        const QSize outer(t.toPixelsX(model.outerSize().width),
                          t.toPixelsY(model.outerSize().height));
        const QSize frame = frameGeometry().size() - size();
        if (outer != frameGeometry().size() && stateOf(*this) == ui::WindowState::Normal) {
            resize(outer - frame);
        }
    });
    setWindowTitle(model.caption());
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

void MainWindow::showInChosenState() {
    mShown = true;
    show();
    reportGeometry();
}

void MainWindow::reportGeometry() {
    const Twips t(*this);
    const QSize outer = frameGeometry().size();
    mForm.window.reportGeometry(
        stateOf(*this), {t.fromPixelsX(outer.width()), t.fromPixelsY(outer.height())},
        {t.fromPixelsX(mClient->width()), t.fromPixelsY(mClient->height())});
    mForm.Form_Resize();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (mShown) {
        reportGeometry();
    }
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
    DropData drop{data->hasUrls(), {}};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            drop.hasFileList = false;
        }
        drop.files << url.toLocalFile();
    }
    mForm.Form_OLEDragDrop(drop);
}
