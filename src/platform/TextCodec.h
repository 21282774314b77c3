// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Text in a code set, named as the system names it ("UTF-8", "SHIFT_JIS", "EUC-JP", "CP932").
// The converters are ICU's here and the system's code pages on Windows.
namespace logwarden::platform {

// The code set of the system's 8-bit text: the locale's, as the C library names it. An ASCII
// code set, the C locale's, counts as UTF-8.
QByteArray systemCodeSet();

class TextCodec {
public:
    explicit TextCodec(QByteArrayView name);

    bool isValid() const { return !mIdentity.isEmpty(); }
    // The converter behind the name, whichever of its aliases was used.
    const QByteArray& identity() const { return mIdentity; }
    bool isMultiByte() const { return mMultiByte; }

    // Bytes that are no text in the code set become U+FFFD; `clean` says there were none.
    struct Decoded {
        QString text;
        bool clean = true;
    };
    Decoded decode(QByteArrayView bytes) const;
    // `clean` says that every character had bytes in the code set.
    struct Encoded {
        QByteArray bytes;
        bool clean = true;
    };
    Encoded encode(QStringView text) const;

private:
    QByteArray mName;
    QByteArray mIdentity;
    bool mMultiByte = false;
};

} // namespace logwarden::platform
