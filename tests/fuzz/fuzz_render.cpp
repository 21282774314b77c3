// SPDX-License-Identifier: MIT
// The renderer on any text, separator and keyword, as UTF-16 code units (lone surrogates and
// NULs included). Its pieces must be Qt's own split of the text, kept as they are, the last
// ones that extraction keeps when it keeps only some; the keyword, folded or read as a regular
// expression, must neither crash nor hang the search; every line
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
    const int last = in.ConsumeIntegralInRange(0, 4);
    const ui::Folding folding{in.ConsumeBool(), in.ConsumeBool(), in.ConsumeBool()};
    const QString keyword = utf16(in.ConsumeRandomLengthString(16));
    const QString tail = utf16(in.ConsumeRemainingBytesAsString());

    QStringList kept;
    for (const QString& piece : separator.isEmpty() ? QStringList{tail} : tail.split(separator)) {
        if (!extract || piece.contains(keyword)) {
            kept << piece;
        }
    }
    if (extract && last > 0) {
        kept = kept.sliced(std::max<qsizetype>(0, kept.size() - last));
    }
    const QString expected =
        kept.isEmpty() ? QString() : kept.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    const auto extraction =
        extract ? std::optional(core::Extraction{ui::TextMatcher(keyword, false), last})
                : std::nullopt;
    const QString view = core::renderTail(tail, separator, extraction);
    const ui::TextMatcher regex(keyword, true, folding);
    const ui::TextMatcher folded(keyword, false, folding);
    if (regex.matches(QStringView(tail).first(std::min<qsizetype>(tail.size(), 256))) &&
        !regex.error().isEmpty()) {
        std::abort();
    }
    // Case and kana folding leave differences out, never add them. (Width folding composes
    // what it folds, so a part of a character may no longer be found.)
    if (tail.contains(keyword) && !folding.widthless && !folded.matches(tail)) {
        std::abort();
    }
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
