// SPDX-License-Identifier: MIT
// The settings loader on any bytes: it must not fail, and what it read must survive a save and
// a second load unchanged, but for the recent paths that the saver leaves out.
#include "settings/IniFile.h"
#include "settings/IniLines.h"

#include <QStringEncoder>
#include <cstdlib>

namespace {

using namespace logwarden::settings;

AppSettings load(const QByteArray& text) {
    AppSettings settings;
    modIniFile::SetDefaultSettings(settings);
    modIniFile::readSettings(text, settings);
    return settings;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const AppSettings first =
        load(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QByteArray saved = modIniFile::settingsText(first);
    // The recent paths that read back are those whose line the loader takes whole.
    AppSettings expected = first;
    expected.gstrRecentFiles = {};
    std::size_t kept = 0;
    for (const QString& path : first.gstrRecentFiles) {
        QStringEncoder encoder(QStringEncoder::System);
        if (QByteArray(encoder.encode(path)).size() <= modIniFile::IniTextFile::MaxLineBytes) {
            expected.gstrRecentFiles.at(kept++) = path;
        }
    }
    const AppSettings again = load(saved);
    if (saved.count("\r\n") != 51 || saved.count('\n') != 51 || !(again == expected) ||
        modIniFile::settingsText(again) != saved) {
        std::abort();
    }
    return 0;
}
