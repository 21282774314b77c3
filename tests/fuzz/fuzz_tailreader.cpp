// SPDX-License-Identifier: MIT
// The tail reader on any file bytes and settings, by two roads chosen by the input:
// - the reader alone, with any line count and window size and a length that may be stale (the
//   file grew or shrank after its length was taken): exactly the bytes that a byte-by-byte
//   scan of what the file holds gives, decoded in every encoding, valid UTF-8 as UTF-8;
// - the whole window, with any stored line-count, buffer-size and newline-type index and any
//   keyword (and sometimes a filler, so that the file outgrows the read window): a readable
//   file raises no message, and the view shows those bytes, decoded and rendered.
#include "FakePort.h"
#include "TailOracle.h"
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/TailRender.h"
#include "core/frmMain.h"

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace logwarden;
using namespace logwarden::core;

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// A file in memory, opened by name like any other: rewriting it for every input costs no disk.
QString fileHolding(const QByteArray& bytes) {
    static const int fd = ::memfd_create("logwarden-fuzz", MFD_CLOEXEC);
    check(fd >= 0 && ::ftruncate(fd, 0) == 0 &&
          ::pwrite(fd, bytes.constData(), std::size_t(bytes.size()), 0) == bytes.size());
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

void readerAlone(FuzzedDataProvider& in) {
    const auto lineCount = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>()
                                            : in.ConsumeIntegralInRange<std::int32_t>(-1, 40);
    const auto bufferKiB = in.ConsumeIntegralInRange<std::int64_t>(-2, 8);
    const auto stale = in.ConsumeIntegralInRange<std::int64_t>(-3000, 3000);
    const QByteArray bytes = QByteArray::fromStdString(in.ConsumeRemainingBytesAsString());
    const std::int64_t queried = std::max<std::int64_t>(0, bytes.size() + stale);

    const TailBytes tail = readTail(fileHolding(bytes), queried, lineCount, bufferKiB);
    check(tail.shown() == bytewiseTail(bytes, queried, lineCount, bufferKiB));
    for (const TailEncoding encoding :
         {TailEncoding::Auto, TailEncoding::Utf8, TailEncoding::ShiftJis, TailEncoding::EucJp}) {
        const QString text = decodeTail(tail.shown(), tail.cut, encoding).text;
        check(encoding != TailEncoding::Auto || tail.cut || !tail.shown().isValidUtf8() ||
              text == QString::fromUtf8(tail.shown()));
    }
}

void throughTheWindow(FuzzedDataProvider& in) {
    // A new window each time: state carried over would make runs depend on history.
    modGlobal global;
    FakePort port;
    frmMain form(global, port, {});
    form.Form_Load();
    form.mnuOptionLineCount_Click(in.ConsumeIntegral<short>());
    form.mnuOptionBufferSize_Click(in.ConsumeIntegral<short>());
    form.mnuOptionNewLineType_Click(in.ConsumeIntegral<short>());
    const QString keyword = QString::fromUtf8(in.ConsumeRandomLengthString(12));
    port.inputAnswers.push_back(keyword);
    form.mnuEditFind_Click();
    const int filler = std::max(0, in.ConsumeIntegralInRange(-30, 10));
    const QByteArray bytes = QByteArray(filler * 24 * 1024, 'x') +
                             QByteArray::fromStdString(in.ConsumeRemainingBytesAsString());

    form.OpenWatchedFile(fileHolding(bytes));
    const WatchState& state = form.watchState();
    check(port.messages.empty() && !state.mblnReading && state.mdblFileLen == bytes.size());
    check(form.lblFileLen.caption() == formatFileLen(bytes.size()));
    if (bytes.isEmpty()) {
        check(form.txtView.text().isEmpty());
        return;
    }
    const std::int32_t lineCount = form.GetLineCount();
    const std::int32_t bufferKiB = form.GetBufferSize();
    check(lineCount % 10 == 0 && lineCount >= 10 && lineCount <= 200);
    check(bufferKiB % 25 == 0 && bufferKiB >= 25 && bufferKiB <= 200);
    const QByteArray shown = bytewiseTail(bytes, bytes.size(), lineCount, bufferKiB);
    const qsizetype window = qsizetype{bufferKiB} * 1024 + 1;
    const bool cut = bytes.size() > window && shown.size() == window;
    check(state.mstrTailText == decodeTail(shown, cut, TailEncoding::Auto).text);
    check(form.txtView.text() ==
          renderTail(state.mstrTailText, global.gstrReturnCode,
                     keyword.isEmpty()
                         ? std::nullopt
                         : std::optional(Extraction{ui::TextMatcher(keyword, false)})));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // The window road costs ten times more; it gets a quarter of the inputs.
    if (in.ConsumeIntegralInRange(0, 3) != 0) {
        readerAlone(in);
    } else {
        throughTheWindow(in);
    }
    return 0;
}
