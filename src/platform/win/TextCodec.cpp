// SPDX-License-Identifier: MIT
#include "platform/TextCodec.h"

#include "platform/win/Windows.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace logwarden::platform {
namespace {

constexpr UINT Utf8 = CP_UTF8;

// The code page a name stands for, as the converters elsewhere know the names; 0 for none.
UINT codePageOf(QByteArrayView name) {
    QByteArray key = name.toByteArray().toUpper();
    key.replace('-', "").replace('_', "");
    if (key == "UTF8") {
        return Utf8;
    }
    if (key == "SHIFTJIS" || key == "SJIS" || key == "WINDOWS31J" || key == "MSKANJI") {
        return 932;
    }
    if (key == "EUCJP") {
        return 20932;
    }
    for (const char* prefix : {"CP", "WINDOWS"}) {
        if (key.startsWith(prefix)) {
            bool ok = false;
            const uint page = key.sliced(qstrlen(prefix)).toUInt(&ok);
            return ok ? page : 0;
        }
    }
    return 0;
}

QString toText(UINT page, DWORD flags, const char* bytes, int size, bool& ok) {
    const int length = ::MultiByteToWideChar(page, flags, bytes, size, nullptr, 0);
    ok = length > 0 || size == 0;
    QString text(length, Qt::Uninitialized);
    if (length > 0) {
        ::MultiByteToWideChar(page, flags, bytes, size, reinterpret_cast<wchar_t*>(text.data()),
                              length);
    }
    return text;
}

// Code page 932 reads 0x80, 0xA0 and 0xFD to 0xFF alone as characters of their own (controls and
// private ones) that no Shift_JIS text has: they are bytes that are no text, as ICU reads them.
bool isStray(UINT page, char byte) {
    const auto value = static_cast<BYTE>(byte);
    return page == 932 && (value == 0x80 || value == 0xA0 || value >= 0xFD);
}

bool hasStray(UINT page, QByteArrayView bytes) {
    for (qsizetype i = 0; page == 932 && i < bytes.size(); ++i) {
        if (::IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[i])) != 0) {
            ++i;
        } else if (isStray(page, bytes[i])) {
            return true;
        }
    }
    return false;
}

// Up to a last character that has only its first byte yet: held back, as a decoder that goes on
// later holds it.
qsizetype wholeCharacters(UINT page, QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype size = ::IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[i])) != 0 ? 2 : 1;
        if (i + size > bytes.size()) {
            break;
        }
        i += size;
    }
    return i;
}

} // namespace

QByteArray systemCodeSet() {
    const UINT page = ::GetACP();
    return page == Utf8 ? QByteArrayLiteral("UTF-8") : "CP" + QByteArray::number(page);
}

TextCodec::TextCodec(QByteArrayView name) : mName(name.toByteArray()) {
    const UINT page = codePageOf(name);
    CPINFO info{};
    if (page == 0 || ::IsValidCodePage(page) == 0 || ::GetCPInfo(page, &info) == 0) {
        return;
    }
    mIdentity = QByteArray::number(page);
    mMultiByte = info.MaxCharSize > 1;
}

// Bytes that are no text become U+FFFD, one for each character the code page would have had
// there, not the system's own stand-in.
TextCodec::Decoded TextCodec::decode(QByteArrayView bytes) const {
    const UINT page = mIdentity.toUInt();
    if (page == Utf8 || page == 0) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString text = decoder.decode(bytes);
        return {text, !decoder.hasError()};
    }
    bytes = bytes.first(wholeCharacters(page, bytes));
    bool ok = !hasStray(page, bytes);
    QString text =
        ok ? toText(page, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), ok) : QString();
    if (ok) {
        return {text, true};
    }
    text.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const bool lead = ::IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[i])) != 0;
        const int size = lead && i + 1 < bytes.size() ? 2 : 1;
        ok = size == 2 || !isStray(page, bytes[i]);
        const QString one =
            ok ? toText(page, MB_ERR_INVALID_CHARS, bytes.data() + i, size, ok) : QString();
        text += ok ? one : QString(QChar::ReplacementCharacter);
        i += ok ? size : 1;
    }
    return {text, false};
}

TextCodec::Encoded TextCodec::encode(QStringView text) const {
    const UINT page = mIdentity.toUInt();
    if (page == Utf8 || page == 0) {
        QStringEncoder encoder(QStringEncoder::Utf8);
        QByteArray bytes = encoder.encode(text);
        return {bytes, !encoder.hasError()};
    }
    const auto* wideText = reinterpret_cast<const wchar_t*>(text.utf16());
    const int size = int(text.size());
    BOOL lossy = FALSE;
    const int length = ::WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wideText, size, nullptr, 0,
                                             nullptr, &lossy);
    QByteArray bytes(length, Qt::Uninitialized);
    if (length > 0) {
        ::WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, wideText, size, bytes.data(), length,
                              nullptr, &lossy);
    }
    return {bytes, (length > 0 || size == 0) && lossy == FALSE};
}

} // namespace logwarden::platform
