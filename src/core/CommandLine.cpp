// SPDX-License-Identifier: MIT
#include "core/CommandLine.h"

QString joinArguments(const QStringList& arguments) {
    return arguments.join(QLatin1Char(' '));
}

QString commandLinePath(QString text) {
    const QChar quote(u'"');
    if (text.startsWith(quote)) {
        text.remove(0, 1);
    }
    if (text.endsWith(quote)) {
        text.chop(1);
    }
    if (text.contains(quote)) {
        return {};
    }
    return text;
}
