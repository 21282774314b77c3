// SPDX-License-Identifier: MIT
#pragma once

#include "LoadedForm.h"
#include "core/modGlobal.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QMetaType>
#include <QtTest>

Q_DECLARE_METATYPE(AppSettings)

inline const QString IniName = QString::fromLatin1(modIniFile::FileName);

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
    modIniFile::readSettings(text, start);
    return start;
}

// The settings file in the current directory, as the next start-up reads it.
inline AppSettings loaded() {
    AppSettings settings;
    modIniFile::LoadIniFile(settings);
    return settings;
}

inline QByteArray fileBytes(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything in the current directory, so that a stray temporary file shows.
inline QStringList folderEntries() {
    return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                     QDir::NoDotAndDotDot);
}
