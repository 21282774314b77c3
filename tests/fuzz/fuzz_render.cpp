// SPDX-License-Identifier: MIT
// The renderer on any text, separator and keyword, as UTF-16 code units (lone surrogates and
// NULs included). Its pieces must be Qt's own split of the text, kept as they are; every line
// the view draws of them is one visible line: no character in it breaks the line or reorders
// what follows; and an empty separator must not hang.
#include "core/TailRender.h"
#include "ui/ViewText.h"

#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

using namespace logwarden;

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
        if (!extract || piece.contains(keyword)) {
            expected += piece + QStringLiteral("\r\n");
        }
    }
    const QString view = core::renderTail(tail, separator, extract, keyword);
    if (view != expected || (!extract && !view.endsWith(QStringLiteral("\r\n")))) {
        std::abort();
    }
    static const QString breaking = QStringLiteral(
        "\r\n\u0085\u061C\u200E\u200F\u2028\u2029\u202A\u202B\u202C\u202D\u202E\u2066"
        "\u2067\u2068\u2069");
    for (const QStringView line : ui::splitLines(view)) {
        const QString shown = ui::displayLine(line);
        if (std::any_of(shown.begin(), shown.end(), [](QChar c) {
                return breaking.contains(c) || (c.unicode() < 0x20 && c != u'\t');
            })) {
            std::abort();
        }
    }
    return 0;
}
