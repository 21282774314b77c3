// SPDX-License-Identifier: MIT
// The command line: arguments as the system hands them over (NUL-separated bytes here). Each is
// a file name whose text gives its bytes back exactly, whatever they are; joined into one path,
// less a pair of quotes around the whole, the path is those bytes and nothing else.
#include "core/CommandLine.h"
#include "platform/System.h"
#include "platform/SystemText.h"

#include <cstdlib>
#include <vector>

using namespace logwarden;
using platform::decodeFileName;
using platform::encodeFileName;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<QByteArray> arguments = bytes.split('\0');
    std::vector<char*> argv{nullptr}; // the program's name is not read
    for (QByteArray& argument : arguments) {
        if (encodeFileName(decodeFileName(argument)) != argument) {
            std::abort();
        }
        argv.push_back(argument.data());
    }
    QByteArray expected = bytes;
    expected.replace('\0', ' ');
    if (expected.size() >= 2 && expected.front() == '"' && expected.back() == '"') {
        expected = expected.mid(1, expected.size() - 2);
    }
    const QString text = platform::argumentText(int(argv.size()), argv.data());
    if (encodeFileName(core::commandLinePath(text)) != expected) {
        std::abort();
    }
    return 0;
}
