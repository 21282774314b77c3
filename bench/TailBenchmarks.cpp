// SPDX-License-Identifier: MIT
#include "Benchmarks.h"
#include "FakePort.h"
#include "LogFixture.h"
#include "PhysicalLimit.h"
#include "Summary.h"
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/frmMain.h"
#include "platform/System.h"

#include <QFile>
#include <memory>
#include <vector>

namespace bench {
namespace {

using namespace logwarden;
using namespace logwarden::core;

// What RefreshTail does once it has seen a change: the stat of its change test, then the read
// and the decode.
QString productRefresh(const QString& path, std::int32_t lineCount, std::int64_t bufferKiB) {
    const platform::FileStamp stamp = platform::queryFile(path);
    const TailBytes tail = readTail(path, stamp.length, lineCount, bufferKiB);
    return decodeTail(tail.shown(), tail.cut, TailEncoding::Auto).text;
}

void refresh(benchmark::State& state, const QString& path, std::int32_t lineCount,
             std::int64_t bufferKiB) {
    const QByteArray local = QFile::encodeName(path);
    std::vector<char> buffer(static_cast<std::size_t>(bufferKiB * 1024 + 1));
    if (productRefresh(path, lineCount, bufferKiB) !=
        limitRefresh(local.constData(), lineCount, bufferKiB, buffer.data())) {
        state.SkipWithError("Logwarden and the limit read different texts");
        return;
    }
    timePaired(
        state,
        [&] {
            QString text = productRefresh(path, lineCount, bufferKiB);
            benchmark::DoNotOptimize(text);
        },
        [&] {
            QString text = limitRefresh(local.constData(), lineCount, bufferKiB, buffer.data());
            benchmark::DoNotOptimize(text);
        });
}

struct PollRig {
    modGlobal global;
    FakePort port;
    frmMain form{global, port, {}};
};

void poll(benchmark::State& state, const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    auto rig = std::make_unique<PollRig>();
    rig->form.Form_Load();
    rig->form.OpenWatchedFile(path);
    const auto revision = rig->form.txtView.textRevision();
    timePaired(
        state, [&] { rig->form.RefreshTail(); },
        [&] { benchmark::DoNotOptimize(limitPoll(local.constData())); });
    if (rig->form.txtView.textRevision() != revision || !rig->port.messages.empty()) {
        state.SkipWithError("polling an unchanged file did more than the change test");
    }
}

} // namespace

bool registerTailBenchmarks(const QString& dir, bool smoke) {
    std::vector<qint64> sizes{qint64(100) << 10};
    if (!smoke) {
        sizes.push_back(qint64(100) << 20);
        sizes.push_back(qint64(5) << 30);
    }
    const Target refreshTarget{Target::Kind::Ratio, 1.5, "limit"};
    for (const qint64 size : sizes) {
        const QString path = dir + QStringLiteral("/tail-") + QString::number(size) + ".log";
        if (!writeLogFile(path, size)) {
            return false;
        }
        for (const std::int64_t kib : {25, 200}) {
            for (const std::int32_t lines : {10, 20, 200}) {
                const std::string name = "refresh " + sizeName(size).toStdString() + ", " +
                                         std::to_string(lines) + " lines/" + std::to_string(kib) +
                                         " KB";
                registerFigure(name, refreshTarget,
                               [=](benchmark::State& state) { refresh(state, path, lines, kib); });
            }
        }
    }
    const QString pollPath =
        dir + QStringLiteral("/tail-") + QString::number(sizes.back()) + ".log";
    registerFigure("poll, unchanged " + sizeName(sizes.back()).toStdString(),
                   {Target::Kind::Ratio, 3.0, "stat"},
                   [=](benchmark::State& state) { poll(state, pollPath); });
    return true;
}

} // namespace bench
