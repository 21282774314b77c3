// SPDX-License-Identifier: MIT
#include "Benchmarks.h"
#include "FakePort.h"
#include "LogFixture.h"
#include "Summary.h"
#include "core/frmMain.h"
#include "gui/LogView.h"
#include "gui/MainWindow.h"
#include "settings/WatchRules.h"

#include <QCoreApplication>
#include <QFile>
#include <memory>
#include <string>

namespace bench {
namespace {

using namespace logwarden;
using namespace logwarden::core;
using namespace logwarden::gui;

constexpr int renderLines = 200;

struct RenderRig {
    modGlobal global;
    FakePort port;
    frmMain form{global, port, {}};
    MainWindow window{form};
};

std::unique_ptr<RenderRig> showTail(const QString& path, bool extract, bool folded = false) {
    auto rig = std::make_unique<RenderRig>();
    rig->form.Form_Load();
    rig->window.showInChosenState();
    rig->form.mnuOptionLineCount_Click(20);
    rig->form.mnuOptionBufferSize_Click(8);
    rig->form.mnuOptionNewLineType_Click(2);
    rig->global.gblnExtractMode = extract;
    rig->global.gstrSearchWord = QStringLiteral("障害");
    settings::WatchSettings& how = rig->global.gudtWatch;
    how.extractIgnoreCase = how.extractIgnoreWidth = how.extractIgnoreKana = folded;
    rig->form.OpenWatchedFile(path);
    QCoreApplication::processEvents();
    return rig;
}

void render(benchmark::State& state, const QString& path, bool extract, bool paint,
            bool folded = false) {
    const std::unique_ptr<RenderRig> rig = showTail(path, extract, folded);
    LogView& view = rig->window.textView();
    const int shown = extract ? renderLines / 5 : renderLines;
    if (view.lineCount() != shown) {
        state.SkipWithError(("the view shows " + std::to_string(view.lineCount()) + " lines, not " +
                             std::to_string(shown))
                                .c_str());
        return;
    }
    timeAlone(state, [&] {
        rig->form.ShowTailText();
        if (paint) {
            view.viewport()->repaint();
        }
    });
}

// What the view asks of the ERROR and WARN rules for each line that comes: its colours.
void colourLine(benchmark::State& state, bool widthFolded) {
    QList<platform::WatchRule> rules = settings::defaultRules();
    for (platform::WatchRule& rule : rules) {
        rule.enabled = true;
        rule.matchWidth = !widthFolded;
    }
    const ui::LineStyler styler = settings::lineStyler(rules);
    const QStringList lines = QString::fromUtf8(wideLines(64, 1024)).split(u'\n');
    qsizetype next = 0;
    int coloured = 0;
    timeAlone(state, [&] {
        coloured += styler(lines[next]) != ui::LineStyle{} ? 1 : 0;
        next = (next + 1) % 64;
    });
    if (coloured == 0) {
        state.SkipWithError("the rules coloured no line");
    }
}

} // namespace

bool registerRenderBenchmarks(const QString& dir) {
    const QString path = dir + QStringLiteral("/render.log");
    QFile file(path);
    // Without a final LF the 200-line setting shows the last 200 lines, all whole, when the
    // file has one more for the window to start in.
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(wideLines(renderLines + 1, 1024).chopped(1)) < 0) {
        return false;
    }
    file.close();
    const Target within5ms{Target::Kind::Absolute, 5e-3, {}, 1e-3, "ms"};
    for (const bool extract : {false, true}) {
        const std::string what = extract ? "extraction on" : "extraction off";
        registerFigure("render 200 x 1 KB, " + what + " (CPU)", within5ms,
                       [=](benchmark::State& state) { render(state, path, extract, false); });
        registerFigure("render and paint, " + what + " (CPU)",
                       {Target::Kind::Informative, 0, {}, 1e-3, "ms"},
                       [=](benchmark::State& state) { render(state, path, extract, true); });
    }
    registerFigure("render 200 x 1 KB, extraction folding case, width and kana (CPU)", within5ms,
                   [=](benchmark::State& state) { render(state, path, true, false, true); });
    const Target perLine{Target::Kind::Informative, 0, {}, 1e-6, "us"};
    registerFigure("colour 1 line of 1 KB: ERROR and WARN rules (CPU)", perLine,
                   [](benchmark::State& state) { colourLine(state, false); });
    registerFigure("colour 1 line of 1 KB: the rules folding width (CPU)", perLine,
                   [](benchmark::State& state) { colourLine(state, true); });
    return true;
}

} // namespace bench
