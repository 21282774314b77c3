// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text in the system's code page: the locale's code set here, the ANSI code page on Windows.
QString decodeSystemText(QByteArrayView bytes);
QByteArray encodeSystemText(const QString& text);
