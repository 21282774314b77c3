// SPDX-License-Identifier: MIT
#include "settings/IniFile.h"

#include "platform/System.h"
#include "platform/SystemText.h"
#include "settings/IniLines.h"
#include "settings/IniNumber.h"

#include <algorithm>
#include <variant>

namespace logwarden::settings::modIniFile {
namespace {

struct RecentList {};
using Field = std::variant<bool AppSettings::*, short AppSettings::*, RecentList>;

struct Entry {
    QLatin1String key;
    Field field;
};

// In the order the saver writes them; the loader accepts any order.
const std::array<Entry, 14> entries{{
    {QLatin1String("[MODE VALUE WINDOWSTATE]"), &AppSettings::gintModeWindowState},
    {QLatin1String("[MODE VALUE WINDOWFORWARD]"), &AppSettings::gblnModeWindowForward},
    {QLatin1String("[VIEW FLAG TIMESTAMP]"), &AppSettings::gblnViewTimestamp},
    {QLatin1String("[VIEW FLAG FILESIZE]"), &AppSettings::gblnViewFilesize},
    {QLatin1String("[VIEW FLAG FILEPATH]"), &AppSettings::gblnViewFilepath},
    {QLatin1String("[VIEW FLAG SEARCHWORD]"), &AppSettings::gblnViewSearchWord},
    {QLatin1String("[VIEW FLAG TEXT]"), &AppSettings::gblnViewText},
    {QLatin1String("[COLOR VALUE BACKGROUND]"), &AppSettings::gintColorBackground},
    {QLatin1String("[COLOR VALUE TEXTFONT]"), &AppSettings::gintColorTextFont},
    {QLatin1String("[SIZE VALUE TEXTFONT]"), &AppSettings::gintSizeTextFont},
    {QLatin1String("[SIZE VALUE LINECOUNT]"), &AppSettings::gintSizeLineCount},
    {QLatin1String("[SIZE VALUE BUFFERSIZE]"), &AppSettings::gintSizeBufferSize},
    {QLatin1String("[TYPE VALUE RETURNCODE]"), &AppSettings::gintTypeReturnCode},
    {QLatin1String("[LIST FILE RECENT]"), RecentList{}},
}};

const Entry* findEntry(const QString& key) {
    if (!key.startsWith(u'[')) {
        return nullptr; // the quick way past the lines of a junk file
    }
    const auto* const it = std::find_if(entries.begin(), entries.end(),
                                        [&](const Entry& entry) { return key == entry.key; });
    return it == entries.end() ? nullptr : &*it;
}

void readValue(IniTextFile& file, const Field& field, AppSettings& settings) {
    if (const auto* flag = std::get_if<bool AppSettings::*>(&field)) {
        settings.*(*flag) = ReadIniLine(file).toUpper() == QLatin1String("TRUE");
    } else if (const auto* number = std::get_if<short AppSettings::*>(&field)) {
        if (const auto value = iniNumber(ReadIniLine(file))) {
            settings.*(*number) = *value;
        }
    } else {
        for (QString& path : settings.gstrRecentFiles) {
            path = platform::decodeFileName(file.nextLine());
        }
    }
}

// A path with a line break in it would read back as two lines and shift every entry after it;
// one longer than the reader takes would read back empty; one with a character the code set
// lacks would read back as another path.
bool readsBack(const QString& path) {
    const QByteArray bytes = platform::encodeFileName(path);
    return !bytes.contains('\r') && !bytes.contains('\n') &&
           bytes.size() <= IniTextFile::MaxLineBytes && platform::decodeFileName(bytes) == path;
}

// Paths that would not read back are left out, and the later paths close the gap.
std::array<QString, AppSettings::RecentCount> savedRecent(const AppSettings& settings) {
    std::array<QString, AppSettings::RecentCount> saved;
    std::copy_if(settings.gstrRecentFiles.begin(), settings.gstrRecentFiles.end(), saved.begin(),
                 readsBack);
    return saved;
}

void appendValue(QByteArray& text, const Field& field, const AppSettings& settings) {
    if (const auto* flag = std::get_if<bool AppSettings::*>(&field)) {
        text += settings.*(*flag) ? "TRUE\r\n" : "FALSE\r\n";
    } else if (const auto* number = std::get_if<short AppSettings::*>(&field)) {
        text += QByteArray::number(settings.*(*number)) + "\r\n";
    } else {
        for (const QString& path : savedRecent(settings)) {
            text += platform::encodeFileName(path) + "\r\n";
        }
    }
}

} // namespace

void SetDefaultSettings(AppSettings& settings) {
    settings.gblnViewTimestamp = true;
    settings.gblnViewFilesize = true;
    settings.gblnViewFilepath = true;
    settings.gblnViewSearchWord = false;
    settings.gblnViewText = true;
    settings.gintColorBackground = 1;
    settings.gintColorTextFont = 1;
    settings.gintSizeTextFont = 9;
    settings.gintSizeLineCount = 2;
    settings.gintSizeBufferSize = 1;
    settings.gintModeWindowState = 0;
    settings.gblnModeWindowForward = false;
}

void readSettings(QByteArrayView text, AppSettings& settings) {
    IniTextFile file(text);
    while (!file.atEnd()) {
        if (const Entry* entry = findEntry(ReadIniLine(file).toUpper())) {
            readValue(file, entry->field, settings);
        }
    }
}

QByteArray settingsText(const AppSettings& settings) {
    QByteArray text;
    for (const Entry& entry : entries) {
        text += QByteArrayView(entry.key.data(), entry.key.size());
        text += "\r\n";
        appendValue(text, entry.field, settings);
        text += "\r\n";
    }
    return text;
}

std::error_code LoadIniFile(AppSettings& settings) {
    SetDefaultSettings(settings);
    return platform::reasonOf([&] {
        readSettings(platform::readWholeFile(QString::fromLatin1(FileName), MaxFileBytes),
                     settings);
    });
}

std::error_code SaveIniFile(const AppSettings& settings) {
    return platform::reasonOf(
        [&] { platform::writeWholeFile(QString::fromLatin1(FileName), settingsText(settings)); });
}

} // namespace logwarden::settings::modIniFile
