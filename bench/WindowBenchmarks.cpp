// SPDX-License-Identifier: MIT
// One line appended to a log shown 200 lines of 1 KB at a time (or as many lines of 10 KB as
// the read window holds), in the real window on the X display, counted in the thread's CPU
// time.
#include "Benchmarks.h"
#include "FakePort.h"
#include "LogFixture.h"
#include "Summary.h"
#include "core/frmMain.h"
#include "gui/LogView.h"
#include "gui/MainWindow.h"
#include "settings/WatchRules.h"
#include "ui/ViewText.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QThread>
#include <QWindow>
#include <memory>
#include <stdexcept>

namespace bench {
namespace {

using namespace logwarden;
using namespace logwarden::core;
using namespace logwarden::gui;

constexpr int viewLines = 200;

class PaintCounter : public QObject {
public:
    using QObject::QObject;
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Delivers a window's pending update at once: Qt paints what the change left to paint, as the
// event loop would do next, and hands it to the display.
void paintPending(QWidget& window) {
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window, &request);
}

// The colouring rules the window runs with: none (the classic view), the default ERROR and WARN
// rules switched on, or the same comparing full- and half-width forms alike, which folds every
// line that is not ASCII before it is searched.
enum class Rules { None, Default, WidthFolded };

void switchOn(frmMain& form, FakePort& port, Rules rules) {
    if (rules == Rules::None) {
        return;
    }
    QList<platform::WatchRule> on = settings::defaultRules();
    for (platform::WatchRule& rule : on) {
        rule.enabled = true;
        rule.matchWidth = rules != Rules::WidthFolded;
    }
    port.ruleAnswers.push_back(on);
    form.mnuOptionWatchRules.click();
}

void openShowing200Lines(frmMain& form, const QString& path) {
    form.Form_Load();
    form.mnuOptionLineCount_Click(viewLines / 10);
    form.mnuOptionBufferSize_Click(8); // 200 KB
    form.mnuOptionNewLineType_Click(2);
    form.OpenWatchedFile(path);
}

void waitUntilExposed(QWidget& widget) {
    for (const QDeadlineTimer deadline(30'000); !deadline.hasExpired();) {
        QCoreApplication::processEvents();
        if (widget.windowHandle() != nullptr && widget.windowHandle()->isExposed()) {
            return;
        }
        QThread::msleep(10);
    }
    throw std::runtime_error("a window was never exposed");
}

// Logwarden's window on the log; a twin of its form without a window, which does the same
// refresh less everything the widgets do; and a bare QPlainTextEdit of the view's size and
// font, beside it.
struct AppendRig {
    QString path;
    int lineBytes;
    modGlobal global;
    FakePort port;
    frmMain form{global, port, {}};
    MainWindow window{form};
    modGlobal twinGlobal;
    FakePort twinPort;
    frmMain twin{twinGlobal, twinPort, {}};
    QPlainTextEdit bare;
    PaintCounter viewPaints;
    PaintCounter barePaints;
    QByteArray lines;
    int appended = 0;

    AppendRig(const QString& log, int bytes, Rules rules)
        : path(log), lineBytes(bytes), lines(wideLines(64, lineBytes)) {
        openShowing200Lines(form, path);
        switchOn(form, port, rules);
        switchOn(twin, twinPort, rules);
        if (rules != Rules::None && !form.txtView.lineStyler()) {
            throw std::runtime_error("the rules colour nothing");
        }
        window.showInChosenState();
        openShowing200Lines(twin, path);
        LogView& view = window.textView();
        bare.setReadOnly(true);
        bare.setLineWrapMode(QPlainTextEdit::NoWrap);
        bare.setFont(view.font());
        bare.resize(view.size());
        bare.move(window.frameGeometry().topRight() + QPoint(10, 0));
        bare.show();
        waitUntilExposed(window);
        waitUntilExposed(bare);
        QCoreApplication::processEvents();
        view.viewport()->installEventFilter(&viewPaints);
        bare.viewport()->installEventFilter(&barePaints);
        check();
    }

    // The file never ends in a line feed, so the view keeps 200 whole lines.
    void appendLine() {
        QFile file(path);
        const qsizetype at = qsizetype(appended++ % 64) * lineBytes;
        if (!file.open(QIODevice::Append) ||
            file.write('\n' + lines.mid(at, lineBytes - 1)) != lineBytes) {
            throw std::runtime_error("cannot append to the log");
        }
    }

    void refreshToPaint() {
        form.RefreshTail();
        paintPending(window);
    }

    // All the lines the read window holds: 200 of 1 KB, about 20 of 10 KB.
    void check() const {
        const qsizetype shown = window.textView().lineCount();
        if (shown != ui::splitLines(twin.txtView.text()).size() ||
            shown < std::min(viewLines, 200 * 1024 / lineBytes) - 1 ||
            form.txtView.text() != twin.txtView.text()) {
            throw std::runtime_error("the window does not show the log's last lines");
        }
    }
};

void checkPainted(const PaintCounter& counter, int before, benchmark::State& state) {
    if (counter.count - before < static_cast<int>(state.iterations())) {
        state.SkipWithError("a view was not painted on every turn");
    }
}

std::unique_ptr<AppendRig> makeRig(const QString& log, int lineBytes, Rules rules = Rules::None) {
    QFile file(log);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(wideLines(viewLines + 1, lineBytes).chopped(1)) < 0) {
        throw std::runtime_error("cannot write the log");
    }
    file.close();
    return std::make_unique<AppendRig>(log, lineBytes, rules);
}

// The whole refresh in the window, less the same refresh of the window-less twin.
void windowUpdate(benchmark::State& state, const QString& log, int lineBytes,
                  Rules rules = Rules::None) {
    const std::unique_ptr<AppendRig> rig = makeRig(log, lineBytes, rules);
    const int painted = rig->viewPaints.count;
    timePairedAfter<ThreadCpuClock>(
        state, [&] { rig->appendLine(); }, [&] { rig->refreshToPaint(); },
        [&] { rig->twin.RefreshTail(); });
    rig->check();
    checkPainted(rig->viewPaints, painted, state);
    const double whole = state.counters["product"];
    const double twin = state.counters["reference"];
    state.counters["product"] =
        benchmark::Counter(whole - twin, benchmark::Counter::kAvgIterations);
    state.counters["reference"] = benchmark::Counter(0);
}

// The whole refresh in the window, beside the bare view handed the text it ends with.
void refreshToPaint(benchmark::State& state, const QString& log) {
    const std::unique_ptr<AppendRig> rig = makeRig(log, 1024);
    const int painted = rig->viewPaints.count;
    const int barePainted = rig->barePaints.count;
    QString text;
    timePairedAfter<ThreadCpuClock>(
        state,
        [&] {
            rig->appendLine();
            rig->twin.RefreshTail();
            text = rig->twin.txtView.text();
        },
        [&] { rig->refreshToPaint(); },
        [&] {
            rig->bare.setPlainText(text);
            paintPending(rig->bare);
        });
    rig->check();
    checkPainted(rig->viewPaints, painted, state);
    checkPainted(rig->barePaints, barePainted, state);
}

} // namespace

bool registerWindowBenchmarks(const QString& dir) {
    const QString log = dir + QStringLiteral("/append.log");
    registerFigure("append 1 line: window update+paint (CPU)",
                   {Target::Kind::Absolute, 0.5e-3, {}, 1e-3, "ms"},
                   [=](benchmark::State& state) { windowUpdate(state, log, 1024); });
    registerFigure("append 1 line, ERROR and WARN rules: window update+paint (CPU)",
                   {Target::Kind::Absolute, 0.5e-3, {}, 1e-3, "ms"}, [=](benchmark::State& state) {
                       windowUpdate(state, log, 1024, Rules::Default);
                   });
    registerFigure("append 1 line, the rules folding width: window update+paint (CPU)",
                   {Target::Kind::Absolute, 0.5e-3, {}, 1e-3, "ms"}, [=](benchmark::State& state) {
                       windowUpdate(state, log, 1024, Rules::WidthFolded);
                   });
    registerFigure("append 1 line of 10 KB: window update+paint (CPU)",
                   {Target::Kind::Absolute, 1e-3, {}, 1e-3, "ms"},
                   [=](benchmark::State& state) { windowUpdate(state, log, 10 * 1024); });
    registerFigure("append 1 line: refresh to paint (CPU)",
                   {Target::Kind::Informative, 0, "bare QPlainTextEdit", 1e-3, "ms"},
                   [=](benchmark::State& state) { refreshToPaint(state, log); });
    return true;
}

} // namespace bench
