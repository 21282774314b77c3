// SPDX-License-Identifier: MIT
#include "platform/SystemText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <langinfo.h>
#include <utility>

namespace {

// A code set that the converters do not know is taken as UTF-8, as Qt takes every locale.
QStringDecoder systemDecoder() {
    QStringDecoder decoder(systemCodeSet().constData());
    return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringDecoder::Utf8);
}

QStringEncoder systemEncoder() {
    QStringEncoder encoder(systemCodeSet().constData());
    return encoder.isValid() ? std::move(encoder) : QStringEncoder(QStringEncoder::Utf8);
}

} // namespace

QByteArray systemCodeSet() {
    const QByteArray name(nl_langinfo(CODESET));
    // Without a locale every byte past 127 would be lost, and every path that holds one.
    for (const char* utf8 : {"ANSI_X3.4-1968", "US-ASCII", "ASCII", "UTF-8", "UTF8"}) {
        if (name.compare(utf8, Qt::CaseInsensitive) == 0) {
            return QByteArrayLiteral("UTF-8");
        }
    }
    return name.isEmpty() ? QByteArrayLiteral("UTF-8") : name;
}

QString decodeSystemText(QByteArrayView bytes) {
    if (systemCodeSet() == "UTF-8") {
        // Whole lines decode the same without the decoder's state, which only holds back an
        // unfinished last character, and twice as fast.
        if (bytes.endsWith('\n')) {
            return QString::fromUtf8(bytes);
        }
        QStringDecoder decoder(QStringDecoder::Utf8);
        return decoder.decode(bytes);
    }
    QStringDecoder decoder = systemDecoder();
    return decoder.decode(bytes);
}

QByteArray encodeSystemText(const QString& text) {
    QStringEncoder encoder = systemEncoder();
    return encoder.encode(text);
}

bool systemTextHolds(const QString& text) {
    QStringEncoder encoder = systemEncoder();
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return false;
    }
    QStringDecoder decoder = systemDecoder();
    return decoder.decode(bytes) == text && !decoder.hasError();
}

namespace {

constexpr char16_t EscapedByte = 0xDC00;

// After a high surrogate, the same code unit is the second half of a character beyond 16 bits
// (U+1F480 and many others), not a byte.
bool isEscapedByte(const QString& name, qsizetype i) {
    const char16_t c = name[i].unicode();
    return c >= EscapedByte + 0x80 && c <= EscapedByte + 0xFF &&
           (i == 0 || !name[i - 1].isHighSurrogate());
}

} // namespace

QString decodeFileName(QByteArrayView bytes) {
    QStringDecoder decoder = systemDecoder();
    QString name = decoder.decode(bytes);
    if (!decoder.hasError() && encodeSystemText(name) == bytes) {
        return name;
    }
    name.clear();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        name += QChar(value < 0x80 ? char16_t(value) : char16_t(EscapedByte + value));
    }
    return name;
}

QByteArray encodeFileName(const QString& name) {
    QByteArray bytes;
    qsizetype textFrom = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i == name.size() || isEscapedByte(name, i)) {
            bytes += encodeSystemText(name.sliced(textFrom, i - textFrom));
            if (i < name.size()) {
                bytes += static_cast<char>(name[i].unicode() - EscapedByte);
            }
            textFrom = i + 1;
        }
    }
    return bytes;
}
