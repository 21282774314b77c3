// SPDX-License-Identifier: MIT
// The renderer on any text, separator and keyword, as UTF-16 code units (lone surrogates and
// NULs included). It must agree with Qt's own split, never hang on an empty separator, and
// never put a NUL into the view.
#include "core/TailRender.h"

#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString utf16(const std::string& bytes) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()),
                              qsizetype(bytes.size() / 2));
}

QString expectedView(const QString& tail, const QString& separator, bool extract,
                     const QString& keyword) {
    const QStringList pieces = separator.isEmpty() ? QStringList{tail} : tail.split(separator);
    QString view;
    for (const QString& piece : pieces) {
        if (!extract || piece.contains(keyword)) {
            view += piece + QStringLiteral("\r\n");
        }
    }
    return view.replace(QChar(u'\0'), QChar(u'\u2400'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    QString separator;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        separator = QStringLiteral("\r\n");
        break;
    case 1:
        separator = QStringLiteral("\n");
        break;
    case 2:
        break; // empty: must not hang
    default:
        separator = utf16(in.ConsumeRandomLengthString(8));
    }
    const bool extract = in.ConsumeBool();
    const QString keyword = utf16(in.ConsumeRandomLengthString(16));
    const QString tail = utf16(in.ConsumeRemainingBytesAsString());

    const QString view = renderTail(tail, separator, extract, keyword);
    if (view != expectedView(tail, separator, extract, keyword) || view.contains(QChar(u'\0'))) {
        std::abort();
    }
    if (!extract && !view.endsWith(QStringLiteral("\r\n"))) {
        std::abort();
    }
    return 0;
}
