// SPDX-License-Identifier: MIT
#pragma once

#include "platform/SystemText.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <vector>

// A temporary folder that is also the current directory while it lives, so that the settings
// file of the window under test is written there and nowhere else.
class TempWorkDir {
public:
    TempWorkDir() : mPrevious(QDir::currentPath()) {
        QVERIFY2(mDir.isValid(), "no temporary folder");
        QDir::setCurrent(mDir.path());
    }
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;
    TempWorkDir(TempWorkDir&&) = delete;
    TempWorkDir& operator=(TempWorkDir&&) = delete;
    ~TempWorkDir() {
        QDir::setCurrent(mPrevious);
        for (const QByteArray& file : mNamed) {
            std::remove(file.constData());
        }
    }

    QString path(const QString& name) const { return mDir.filePath(name); }

    QString write(const QString& name, const QByteArray& bytes) const {
        const QString file = path(name);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(file));
        }
        return file;
    }

    QString append(const QString& name, const QByteArray& bytes) const {
        const QString file = path(name);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Append) ||
            out.write(bytes) != bytes.size()) {
            qFatal("cannot append to %s", qPrintable(file));
        }
        return file;
    }

    // A file whose name is these bytes, which need not be text in any code set. When they are
    // not UTF-8, a second file whose name is their lossy UTF-8 reading says "decoy".
    QString writeNamed(const QByteArray& name, const QByteArray& bytes) {
        const QByteArray lossy = QString::fromUtf8(name).toUtf8();
        writeBytes(name, bytes);
        if (lossy != name) {
            writeBytes(lossy, "decoy\n");
        }
        return decodeFileName(encodeFileName(mDir.path()) + '/' + name);
    }

private:
    void writeBytes(const QByteArray& name, const QByteArrayView bytes) {
        const QByteArray file = encodeFileName(mDir.path()) + '/' + name;
        std::FILE* out = std::fopen(file.constData(), "wb");
        if (!out ||
            std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), out) !=
                std::size_t(bytes.size()) ||
            std::fclose(out) != 0) {
            qFatal("cannot write %s", file.constData());
        }
        mNamed.push_back(file); // the folder's removal reads names as UTF-8
    }

    std::vector<QByteArray> mNamed;
    QTemporaryDir mDir;
    QString mPrevious;
};

// "line 1\n" ... "line n\n"; without the last LF when `finalLineFeed` is false.
inline QByteArray numberedLines(int first, int last, bool finalLineFeed = true) {
    QByteArray bytes;
    for (int i = first; i <= last; ++i) {
        bytes += "line " + QByteArray::number(i);
        if (i < last || finalLineFeed) {
            bytes += '\n';
        }
    }
    return bytes;
}
