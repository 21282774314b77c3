// SPDX-License-Identifier: MIT
// The renderer on any text, separator and keyword, as UTF-16 code units (lone surrogates and
// NULs included). Its lines must be Qt's own split of the text, each shown as one visible line:
// controls as their pictures, line separators and bidi controls as their codes; and an empty
// separator must not hang.
#include "core/TailRender.h"

#include <QStringList>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

QString utf16(const std::string& bytes) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()),
                              qsizetype(bytes.size() / 2));
}

QString visible(const QString& piece) {
    static const QString codes = QStringLiteral(
        "\u061C\u200E\u200F\u2028\u2029\u202A\u202B\u202C\u202D\u202E\u2066\u2067\u2068\u2069");
    QString shown;
    for (const QChar c : piece) {
        const char16_t u = c.unicode();
        shown += codes.contains(c)
                     ? QStringLiteral("<U+%1>").arg(uint(u), 4, 16, QChar(u'0')).toUpper()
                 : u == 0x7F                            ? QChar(0x2421)
                 : u < 0x20 && u != u'\t' && u != u'\n' ? QChar(0x2400 + u)
                                                        : c;
    }
    return shown;
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
            expected += visible(crEnd ? piece.chopped(1) : piece) +
                        QString::fromUtf16(crEnd ? u"\r\r\n" : u"\r\n");
        }
    }
    const QString view = renderTail(tail, separator, extract, keyword);
    if (view != expected || (!extract && !view.endsWith(QStringLiteral("\r\n")))) {
        std::abort();
    }
    return 0;
}
