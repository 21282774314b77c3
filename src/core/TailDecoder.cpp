// SPDX-License-Identifier: MIT
#include "core/TailDecoder.h"

#include "platform/TextCodec.h"

#include <QByteArray>
#include <QStringDecoder>
#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>
#include <uchardet.h>
#include <vector>

namespace logwarden::core {
namespace {

using platform::TextCodec;

// How to find the first whole character in bytes that may begin inside one.
enum class Resync { None, Utf8, ShiftJis, EucJp, LowByte };

struct Codec {
    QByteArray name; // the converter's name, shown as it is
    Resync resync = Resync::None;
    friend bool operator==(const Codec&, const Codec&) = default;
};

Codec codecOf(TailEncoding encoding) {
    switch (encoding) {
    case TailEncoding::ShiftJis:
        return {QByteArrayLiteral("Shift_JIS"), Resync::ShiftJis};
    case TailEncoding::EucJp:
        return {QByteArrayLiteral("EUC-JP"), Resync::EucJp};
    default:
        return {QByteArrayLiteral("UTF-8"), Resync::Utf8};
    }
}

// The locale's code set, as the encoding above that it is, if it is one of them.
Codec localeCodec() {
    const QByteArray name = platform::systemCodeSet();
    const TextCodec locale(name);
    if (!locale.isValid()) {
        return codecOf(TailEncoding::Utf8); // as decodeSystemText reads a code set it cannot
    }
    for (const TailEncoding known :
         {TailEncoding::Utf8, TailEncoding::ShiftJis, TailEncoding::EucJp}) {
        Codec codec = codecOf(known);
        if (TextCodec(codec.name).identity() == locale.identity()) {
            return codec;
        }
    }
    return {name, locale.isMultiByte() ? Resync::LowByte : Resync::None};
}

bool shiftJisLead(uchar c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool shiftJisTrail(uchar c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Where the first character that certainly begins inside the bytes begins.
qsizetype firstWholeCharacter(QByteArrayView bytes, Resync resync) {
    const auto at = [&](qsizetype i) {
        return static_cast<uchar>(bytes[i]);
    };
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    switch (resync) {
    case Resync::None:
        break;
    case Resync::Utf8:
        // A character has at most three continuation bytes, and they say what they are.
        while (i < std::min<qsizetype>(3, size) && (at(i) & 0xC0) == 0x80) {
            ++i;
        }
        break;
    case Resync::ShiftJis:
        // Most bytes can lead a character and trail one. A character begins at a byte that
        // cannot trail, or after a byte that cannot lead; in Japanese text one of the two comes
        // within a character or two. Counting pairs back from there would not be surer: a run of
        // bytes that can be either is as long as the text makes it.
        while (i < size && shiftJisTrail(at(i)) && (i == 0 || shiftJisLead(at(i - 1)))) {
            ++i;
        }
        break;
    case Resync::EucJp:
        // Only the first byte of a character is ever below 0xA1. Counting pairs back from there
        // would keep more, and go wrong on the three-byte characters.
        while (i < size && at(i) >= 0xA1) {
            ++i;
        }
        break;
    case Resync::LowByte:
        // In every multi-byte code set a locale uses, a byte below 0x30 is a character alone.
        while (i < size && at(i) >= 0x30) {
            ++i;
        }
        break;
    }
    return i;
}

QByteArrayView fromWholeCharacter(QByteArrayView bytes, bool cut, Resync resync) {
    return cut ? bytes.sliced(firstWholeCharacter(bytes, resync)) : bytes;
}

// The window ends where the file ended when it was read, maybe inside a character still being
// written: its bytes wait for the next read.
qsizetype completeUtf8(QByteArrayView bytes) {
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, size); ++back) {
        const auto c = static_cast<uchar>(bytes[size - back]);
        if ((c & 0xC0) != 0x80) {
            const qsizetype length = c >= 0xF0 && c <= 0xF4   ? 4
                                     : c >= 0xE0 && c <= 0xEF ? 3
                                     : c >= 0xC2 && c <= 0xDF ? 2
                                                              : 1;
            return length > back ? size - back : size;
        }
    }
    return size;
}

bool isUtf8(QByteArrayView bytes) {
    return bytes.first(completeUtf8(bytes)).isValidUtf8();
}

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

QString decodeAs(const Codec& codec, QByteArrayView bytes) {
    if (codec.resync == Resync::Utf8) {
        return QString::fromUtf8(bytes.first(completeUtf8(bytes)));
    }
    return TextCodec(codec.name).decode(bytes).text;
}

bool fits(const Codec& codec, QByteArrayView bytes, bool cut) {
    const TextCodec converter(codec.name);
    return converter.isValid() &&
           converter.decode(fromWholeCharacter(bytes, cut, codec.resync)).clean;
}

// The Japanese encoding the detector recognises in the bytes, if it recognises one.
std::optional<Codec> detectedCodec(QByteArrayView bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
        uchardet_new(), uchardet_delete);
    if (uchardet_handle_data(detector.get(), bytes.data(),
                             static_cast<std::size_t>(bytes.size())) != 0) {
        return std::nullopt;
    }
    uchardet_data_end(detector.get());
    const QByteArray name(uchardet_get_charset(detector.get()));
    for (const TailEncoding encoding : {TailEncoding::ShiftJis, TailEncoding::EucJp}) {
        const Codec codec = codecOf(encoding);
        if (name.compare(codec.name, Qt::CaseInsensitive) == 0) {
            return codec;
        }
    }
    return std::nullopt;
}

// The encoding of the lines that are not UTF-8.
Codec legacyCodec(QByteArrayView bytes, bool cut) {
    Codec locale = localeCodec();
    const Codec shiftJis = codecOf(TailEncoding::ShiftJis);
    const Codec eucJp = codecOf(TailEncoding::EucJp);
    const bool japanese = locale == shiftJis || locale == eucJp;
    if (locale.resync != Resync::Utf8 && !japanese && fits(locale, bytes, cut)) {
        return locale;
    }
    // EUC-JP text often reads cleanly as Shift_JIS too, so the detector decides; a Japanese
    // locale would otherwise show every file in the other Japanese encoding as noise. It is not
    // shown a cut character (a byte below 0x30 begins one in both). It has no answer for a few
    // characters: they are then read in the encoding that reads them cleanly, the locale's first.
    if (const auto detected = detectedCodec(fromWholeCharacter(bytes, cut, Resync::LowByte))) {
        return *detected;
    }
    const Codec& first = locale == eucJp ? eucJp : shiftJis;
    const Codec& second = locale == eucJp ? shiftJis : eucJp;
    if (fits(first, bytes, cut)) {
        return first;
    }
    return fits(second, bytes, cut) ? second : locale;
}

struct Line {
    QByteArrayView bytes; // with its line feed
    bool ascii = false;
    bool utf8 = false;
};

std::vector<Line> splitLines(QByteArrayView bytes, bool cut) {
    std::vector<Line> lines;
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype lf = bytes.indexOf('\n', from);
        const qsizetype end = lf < 0 ? bytes.size() : lf + 1;
        const QByteArrayView line = bytes.sliced(from, end - from);
        const QByteArrayView judged = fromWholeCharacter(line, cut && from == 0, Resync::Utf8);
        const bool ascii = isAscii(judged);
        lines.push_back({line, ascii, !ascii && isUtf8(judged)});
        from = end;
    }
    // A line of ASCII reads the same either way: it goes with the line before it, and the first
    // ones with the first line that is not ASCII, so that a cut first line is cut as that one.
    const auto firstOther =
        std::find_if(lines.begin(), lines.end(), [](const Line& line) { return !line.ascii; });
    bool utf8 = firstOther != lines.end() && firstOther->utf8;
    for (Line& line : lines) {
        utf8 = line.ascii ? utf8 : line.utf8;
        line.utf8 = utf8;
    }
    return lines;
}

// Lines that are valid UTF-8 are read as UTF-8 and the others in one other encoding: a log that
// two programs write, or that changed its encoding, then shows every line as it was written.
DecodedTail decodeMixed(QByteArrayView bytes, bool cut) {
    const std::vector<Line> lines = splitLines(bytes, cut);
    QByteArray others;
    bool someUtf8 = false;
    for (const Line& line : lines) {
        if (line.utf8) {
            someUtf8 = someUtf8 || !line.ascii;
        } else {
            others.append(line.bytes);
        }
    }
    const bool othersCut = cut && !lines.front().utf8;
    const Codec legacy = legacyCodec(others, othersCut);
    const Codec utf8 = codecOf(TailEncoding::Utf8);
    if (legacy == utf8) {
        return {decodeAs(utf8, fromWholeCharacter(bytes, cut, utf8.resync)),
                QString::fromLatin1(utf8.name)};
    }
    QString text;
    text.reserve(bytes.size());
    for (auto run = lines.begin(); run != lines.end();) {
        const auto end = std::find_if(run, lines.end(),
                                      [&](const Line& line) { return line.utf8 != run->utf8; });
        const qsizetype from = run->bytes.data() - bytes.data();
        const qsizetype to =
            std::prev(end)->bytes.data() + std::prev(end)->bytes.size() - bytes.data();
        const Codec& codec = run->utf8 ? utf8 : legacy;
        text += decodeAs(codec, fromWholeCharacter(bytes.sliced(from, to - from), cut && from == 0,
                                                   codec.resync));
        run = end;
    }
    const QString name = QString::fromLatin1(legacy.name);
    return {text, someUtf8 ? QStringLiteral("UTF-8 + ") + name : name};
}

} // namespace

DecodedTail decodeTail(QByteArrayView bytes, bool cut, TailEncoding encoding) {
    const Codec codec = codecOf(encoding);
    const QByteArrayView whole = fromWholeCharacter(bytes, cut, codec.resync);
    if (encoding != TailEncoding::Auto) {
        return {decodeAs(codec, whole), QString::fromLatin1(codec.name)};
    }
    // Most logs are UTF-8: one pass both reads and checks them.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(whole.first(completeUtf8(whole)));
    if (!utf8.hasError()) {
        return {text, QString::fromLatin1(codec.name)};
    }
    return decodeMixed(bytes, cut);
}

} // namespace logwarden::core
