// SPDX-License-Identifier: MIT
#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <langinfo.h>
#include <memory>
#include <unicode/ucnv.h>

namespace logwarden::platform {

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

TextCodec::TextCodec(QByteArrayView name) : mName(name.toByteArray()) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(
        ucnv_open(mName.constData(), &status), ucnv_close);
    if (U_FAILURE(status) != 0) {
        return;
    }
    const char* id = ucnv_getName(converter.get(), &status);
    mIdentity = U_SUCCESS(status) != 0 ? QByteArray(id) : QByteArray();
    mMultiByte = ucnv_getMaxCharSize(converter.get()) > 1;
}

TextCodec::Decoded TextCodec::decode(QByteArrayView bytes) const {
    QStringDecoder decoder(mName.constData());
    Decoded decoded{decoder.decode(bytes), true};
    // The converters put U+001A, which shows as nothing, for the bytes they cannot read.
    if (decoder.hasError() || !decoder.isValid()) {
        decoded.text.replace(QChar(0x1A), QChar(QChar::ReplacementCharacter));
        decoded.clean = false;
    }
    return decoded;
}

TextCodec::Encoded TextCodec::encode(QStringView text) const {
    QStringEncoder encoder(mName.constData());
    Encoded encoded{encoder.encode(text), true};
    encoded.clean = encoder.isValid() && !encoder.hasError();
    return encoded;
}

} // namespace logwarden::platform
