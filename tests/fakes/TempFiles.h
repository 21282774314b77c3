// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

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
    ~TempWorkDir() { QDir::setCurrent(mPrevious); }

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

private:
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
