#pragma once

#include "core/modGlobal.h"
#include "settings/IniFile.h"

#include <QBuffer>
#include <QMetaType>
#include <QtTest>

Q_DECLARE_METATYPE(AppSettings)

// A failed comparison shows both records as the saver writes them.
inline char* toString(const AppSettings& settings) {
    QByteArray text = modIniFile::settingsText(settings);
    text.replace("\r\n", " | ");
    return qstrdup(text.constData());
}

// What start-up has before the file is read: reset values, no newline type, no recent files.
inline AppSettings resetSettings() {
    AppSettings settings;
    modIniFile::SetDefaultSettings(settings);
    return settings;
}

inline AppSettings parsed(const QByteArray& text, AppSettings start = resetSettings()) {
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    modIniFile::readSettings(buffer, start);
    return start;
}
