// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text in the system's code page: the code set of the locale in force ("UTF-8", "SHIFT_JIS",
// ...), as the C library names it. An ASCII code set, the C locale's, counts as UTF-8.
QByteArray systemCodeSet();
QString decodeSystemText(QByteArrayView bytes);
QByteArray encodeSystemText(const QString& text);
// Whether the text, written in the code set, reads back as the same text.
bool systemTextHolds(const QString& text);
