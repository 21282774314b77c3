// SPDX-License-Identifier: MIT
// The renderer on any text, separator and keyword, as UTF-16 code units (lone surrogates and
// NULs included). Its pieces must be Qt's own split of the text, with the file's own
// characters; and an empty separator must not hang.
#include "core/TailRender.h"

#include <QStringList>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString utf16(const std::string& bytes) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()),
                              qsizetype(bytes.size() / 2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int kind = in.ConsumeIntegralInRange(0, 3); // CR LF, LF, empty, any
    const QString separator = kind == 0   ? QStringLiteral("\r\n")
                              : kind == 1 ? QStringLiteral("\n")
                              : kind == 2 ? QString()
                                          : utf16(in.ConsumeRandomLengthString(8));
    const bool extract = in.ConsumeBool();
    const QString keyword = utf16(in.ConsumeRandomLengthString(16));
    const QString tail = utf16(in.ConsumeRemainingBytesAsString());

    QString expected;
    for (const QString& piece : separator.isEmpty() ? QStringList{tail} : tail.split(separator)) {
        // A CR that ends a piece is its line end (a CR LF line split at LF), drawn as nothing.
        const bool crEnd = piece.endsWith(u'\r');
        if (!extract || piece.contains(keyword)) {
            expected += (crEnd ? piece.chopped(1) : piece) +
                        QString::fromUtf16(crEnd ? u"\r\r\n" : u"\r\n");
        }
    }
    const QString view = renderTail(tail, separator, extract, keyword);
    if (view != expected || (!extract && !view.endsWith(QStringLiteral("\r\n")))) {
        std::abort();
    }
    return 0;
}
