// SPDX-License-Identifier: MIT
// The command line: arguments as the system hands them over (NUL-separated bytes here), joined
// into one text and stripped of one pair of quotes. The result never holds a quote, and it is
// either nothing or the text less at most one quote at each end.
#include "core/CommandLine.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& argument : bytes.split('\0')) {
        arguments << QString::fromLocal8Bit(argument);
    }
    const QString text = joinArguments(arguments);
    const QString path = commandLinePath(text);
    if (path.contains(u'"')) {
        std::abort();
    }
    QString unquoted = text;
    if (unquoted.startsWith(u'"')) {
        unquoted.remove(0, 1);
    }
    if (unquoted.endsWith(u'"')) {
        unquoted.chop(1);
    }
    const bool usable = !unquoted.contains(u'"');
    if (path != (usable ? unquoted : QString())) {
        std::abort();
    }
    return 0;
}
