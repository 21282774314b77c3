// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text in the system's code page (systemCodeSet()). A code set the converters do not know is
// taken as UTF-8, as Qt takes every locale.
namespace logwarden::platform {

QString decodeSystemText(QByteArrayView bytes);
QByteArray encodeSystemText(const QString& text);
// Whether the text, written in the code set, reads back as the same text.
bool systemTextHolds(const QString& text);

// File names are bytes. A name that the code set reads back exactly is that text; any other
// keeps its bytes: ASCII as it is, every other byte as a code unit from U+DC80 to U+DCFF,
// which no text holds. encodeFileName gives the same bytes back, so a name that is not text
// in the code set still opens its own file, never another one whose name is its lossy reading.
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(const QString& name);

} // namespace logwarden::platform
