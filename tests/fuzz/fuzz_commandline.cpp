// SPDX-License-Identifier: MIT
// The command line: arguments as the system hands them over (NUL-separated bytes here), joined
// into one text; one pair of quotes around the whole of it is removed, and nothing else.
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
    const bool quoted = text.size() >= 2 && text.front() == u'"' && text.back() == u'"';
    if (path != (quoted ? text.mid(1, text.size() - 2) : text)) {
        std::abort();
    }
    return 0;
}
