// SPDX-License-Identifier: MIT
// The tail reader on any file bytes and settings, by two roads chosen by the input:
// - the reader alone, with any line count and window size and a length that may be stale (the
//   file grew or shrank after its length was taken): exactly the bytes that a byte-by-byte
//   scan of what the file holds gives, decoded in every encoding, valid UTF-8 as UTF-8;
// - the whole window, with any stored line-count, buffer-size and newline-type index and any
//   keyword (and sometimes a filler, so that the file outgrows the read window): a readable
//   file raises no message, and the view shows those bytes, decoded and rendered.
#include "FakePort.h"
#include "MemoryFile.h"
#include "TailOracle.h"
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/TailRender.h"
#include "core/frmMain.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

QByteArray remainingBytes(FuzzedDataProvider& in) {
    const std::string rest = in.ConsumeRemainingBytesAsString();
    return QByteArray(rest.data(), qsizetype(rest.size()));
}

void readerAlone(FuzzedDataProvider& in, MemoryFile& file) {
    const auto lineCount = in.ConsumeBool() ? in.ConsumeIntegral<std::int32_t>()
                                            : in.ConsumeIntegralInRange<std::int32_t>(-1, 40);
    const auto bufferKiB = in.ConsumeIntegralInRange<std::int64_t>(-2, 8);
    const auto stale = in.ConsumeIntegralInRange<std::int64_t>(-3000, 3000);
    const QByteArray bytes = remainingBytes(in);
    file.assign(bytes);
    const std::int64_t queried = std::max<std::int64_t>(0, bytes.size() + stale);

    const TailBytes tail = readTail(file.path(), queried, lineCount, bufferKiB);
    check(tail.shown() == bytewiseTail(bytes, queried, lineCount, bufferKiB));
    for (const TailEncoding encoding :
         {TailEncoding::Auto, TailEncoding::Utf8, TailEncoding::ShiftJis, TailEncoding::EucJp}) {
        const DecodedTail decoded = decodeTail(tail.shown(), tail.cut, encoding);
        if (encoding == TailEncoding::Auto && !tail.cut && tail.shown().isValidUtf8()) {
            check(decoded.text == QString::fromUtf8(tail.shown()));
        }
    }
}

struct Window {
    modGlobal global;
    FakePort port;
    frmMain form{global, port, {}};
    Window() { form.Form_Load(); }
};

void throughTheWindow(FuzzedDataProvider& in, MemoryFile& file) {
    Window w; // a new one each time: state carried over would make runs depend on history
    w.form.mnuOptionLineCount_Click(in.ConsumeIntegral<short>());
    w.form.mnuOptionBufferSize_Click(in.ConsumeIntegral<short>());
    w.form.mnuOptionNewLineType_Click(in.ConsumeIntegral<short>());
    const QString keyword = QString::fromUtf8(in.ConsumeRandomLengthString(12));
    w.port.inputAnswers.push_back(keyword);
    w.form.mnuEditFind_Click();
    const int filler = in.ConsumeIntegralInRange(-30, 10);
    QByteArray bytes(std::max(0, filler) * 24 * 1024, 'x');
    bytes += remainingBytes(in);
    file.assign(bytes);

    w.form.OpenWatchedFile(file.path());
    const WatchState& state = w.form.watchState();
    check(w.port.messages.empty() && !state.mblnReading);
    check(state.mdblFileLen == bytes.size());
    check(w.form.lblFileLen.caption() == formatFileLen(bytes.size()));
    if (bytes.isEmpty()) {
        check(w.form.txtView.text().isEmpty());
        return;
    }
    const std::int32_t lineCount = w.form.GetLineCount();
    const std::int32_t bufferKiB = w.form.GetBufferSize();
    check(lineCount % 10 == 0 && lineCount >= 10 && lineCount <= 200);
    check(bufferKiB % 25 == 0 && bufferKiB >= 25 && bufferKiB <= 200);
    const QByteArray shown = bytewiseTail(bytes, bytes.size(), lineCount, bufferKiB);
    const qsizetype window = qsizetype{bufferKiB} * 1024 + 1;
    const bool cut = bytes.size() > window && shown.size() == window;
    check(state.mstrTailText == decodeTail(shown, cut, TailEncoding::Auto).text);
    check(w.form.txtView.text() ==
          renderTail(state.mstrTailText, w.global.gstrReturnCode, !keyword.isEmpty(), keyword));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    FuzzedDataProvider in(data, size);
    // The window road costs ten times more; it gets a quarter of the inputs.
    if (in.ConsumeIntegralInRange(0, 3) != 0) {
        readerAlone(in, file);
    } else {
        throughTheWindow(in, file);
    }
    return 0;
}
