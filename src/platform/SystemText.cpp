// SPDX-License-Identifier: MIT
#include "platform/SystemText.h"

#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <mutex>
#include <optional>

namespace logwarden::platform {
namespace {

// Made again only when the locale changed: a poll encodes the watched path. One for all threads,
// never destroyed: a static Windows build destroys a thread's own objects through a dead
// pointer when a short-lived thread ends, and a call given up on may return after main() has.
TextCodec systemCodec() {
    struct Cache {
        std::mutex mutex;
        QByteArray name;
        std::optional<TextCodec> codec;
    };
    static auto* const cache = new Cache;
    const QByteArray now = systemCodeSet();
    const std::lock_guard lock(cache->mutex);
    if (!cache->codec || now != cache->name) {
        cache->name = now;
        cache->codec.emplace(now);
        if (!cache->codec->isValid()) {
            cache->codec.emplace("UTF-8");
        }
    }
    return *cache->codec;
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
    const TextCodec codec = systemCodec();
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
