// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SystemText.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <vector>

using logwarden::platform::decodeFileName;
using logwarden::platform::encodeFileName;

// A temporary folder that is also the current directory while it lives, so that the settings
// file of the window under test is written there and nowhere else.
class TempWorkDir {
public:
    TempWorkDir() : mPrevious(QDir::currentPath()) {
        QVERIFY2(mDir.isValid(), "no temporary folder");
        QDir::setCurrent(mDir.path());
    }
    ~TempWorkDir() {
        QDir::setCurrent(mPrevious);
        for (const QByteArray& file : mNamed) { // removal reads names as UTF-8
            std::remove(file.constData());
        }
    }

    QString path(const QString& name) const { return mDir.filePath(name); }
#ifdef Q_OS_WIN
    // Names are UTF-16 text there: any name is one.
    QString write(const QString& name, const QByteArray& bytes) const {
        return put(path(name), bytes, QIODevice::Truncate);
    }
    QString append(const QString& name, const QByteArray& bytes) const {
        return put(path(name), bytes, QIODevice::Append);
    }
    QString writeNamed(const QByteArray& name, const QByteArray& bytes) {
        return write(QString::fromUtf8(name), bytes);
    }

private:
    static QString put(const QString& file, const QByteArray& bytes, QIODevice::OpenMode mode) {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | mode) || out.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(file));
        }
        return file;
    }
#else
    QString write(const QString& name, const QByteArray& bytes) const {
        return put(encodeFileName(path(name)), bytes, "wb");
    }
    QString append(const QString& name, const QByteArray& bytes) const {
        return put(encodeFileName(path(name)), bytes, "ab");
    }

    // A file whose name is these bytes, which need not be text in any code set. When they are
    // not UTF-8, a second file whose name is their lossy UTF-8 reading says "decoy".
    QString writeNamed(const QByteArray& name, const QByteArray& bytes) {
        const QByteArray lossy = QString::fromUtf8(name).toUtf8();
        for (const QByteArray& each : {lossy, name}) { // the real one last, should they be one
            mNamed.push_back(encodeFileName(mDir.path()) + '/' + each);
            put(mNamed.back(), each == name ? bytes : "decoy\n", "wb");
        }
        return decodeFileName(mNamed.back());
    }

private:
    static QString put(const QByteArray& file, const QByteArray& bytes, const char* mode) {
        std::FILE* out = std::fopen(file.constData(), mode);
        const auto size = std::size_t(bytes.size());
        if (!out || std::fwrite(bytes.data(), 1, size, out) != size || std::fclose(out) != 0) {
            qFatal("cannot write %s", file.constData());
        }
        return decodeFileName(file);
    }
#endif

    std::vector<QByteArray> mNamed;
    QTemporaryDir mDir;
    QString mPrevious;
};

// "line 1\n" ... "line n\n"; without the last LF when `finalLineFeed` is false.
inline QByteArray numberedLines(int first, int last, bool finalLineFeed = true) {
    QByteArray bytes;
    for (int i = first; i <= last; ++i) {
        bytes += "line " + QByteArray::number(i) + (i < last || finalLineFeed ? "\n" : "");
    }
    return bytes;
}
