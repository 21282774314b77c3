// SPDX-License-Identifier: MIT
#include "platform/SystemText.h"

#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <optional>

namespace logwarden::platform {
namespace {

// Made again only when the locale changed: a poll encodes the watched path.
const TextCodec& systemCodec() {
    thread_local QByteArray name;
    thread_local std::optional<TextCodec> codec;
    const QByteArray now = systemCodeSet();
    if (!codec || now != name) {
        name = now;
        codec.emplace(now);
        if (!codec->isValid()) {
            codec.emplace("UTF-8");
        }
    }
    return *codec;
}

} // namespace

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
    return systemCodec().decode(bytes).text;
}

QByteArray encodeSystemText(const QString& text) {
    return systemCodec().encode(text).bytes;
}

bool systemTextHolds(const QString& text) {
    const TextCodec& codec = systemCodec();
    const TextCodec::Encoded encoded = codec.encode(text);
    if (!encoded.clean) {
        return false;
    }
    const TextCodec::Decoded decoded = codec.decode(encoded.bytes);
    return decoded.clean && decoded.text == text;
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
    const TextCodec::Decoded decoded = systemCodec().decode(bytes);
    if (decoded.clean && encodeSystemText(decoded.text) == bytes) {
        return decoded.text;
    }
    QString name;
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

} // namespace logwarden::platform
