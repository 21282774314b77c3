// SPDX-License-Identifier: MIT
#include "core/TailReader.h"

#include "core/frmMain.h"
#include "platform/FileSystem.h"
#include "platform/SystemText.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace {

const char* lastLineFeed(const char* begin, std::size_t size) {
#if defined(__GLIBC__)
    return static_cast<const char*>(memrchr(begin, '\n', size));
#else
    const auto rend = std::make_reverse_iterator(begin);
    const auto it = std::find(std::make_reverse_iterator(begin + size), rend, '\n');
    return it == rend ? nullptr : std::prev(it.base());
#endif
}

QString systemErrorText(const std::system_error& error) {
    return QString::fromLocal8Bit(error.code().message());
}

} // namespace

qsizetype tailOffset(QByteArrayView window, std::int32_t lineCount) {
    if (lineCount <= 0) {
        return window.size();
    }
    std::size_t end = static_cast<std::size_t>(window.size());
    for (std::int32_t found = 0; end > 0;) {
        const char* lf = lastLineFeed(window.data(), end);
        if (lf == nullptr) {
            break;
        }
        end = static_cast<std::size_t>(lf - window.data());
        if (++found >= lineCount) {
            return static_cast<qsizetype>(end) + 1;
        }
    }
    return 0;
}

TailBytes readTail(const QString& path, std::int64_t fileLen, std::int32_t lineCount,
                   std::int64_t bufferKiB) {
    // Positions count from 1: the window is S..L, one byte more than the buffer size.
    const std::int64_t start = std::max<std::int64_t>(1, fileLen - bufferKiB * 1024);
    TailBytes tail{platform::readAt(path, start - 1, fileLen - start + 1)};
    tail.start = tailOffset(tail.window, lineCount);
    return tail;
}

QString readTailText(const QString& path, std::int64_t fileLen, std::int32_t lineCount,
                     std::int64_t bufferKiB) {
    return decodeSystemText(readTail(path, fileLen, lineCount, bufferKiB).shown());
}

QString formatFileLen(std::int64_t length) {
    QString digits = QString::number(length);
    const qsizetype firstDigit = digits.startsWith(u'-') ? 1 : 0;
    for (qsizetype i = digits.size() - 3; i > firstDigit; i -= 3) {
        digits.insert(i, u',');
    }
    return digits + QStringLiteral(" byte ");
}

std::int32_t frmMain::GetLineCount() const {
    return mnuOptionLineCount.firstChecked().value_or(1) * 10;
}

std::int32_t frmMain::GetBufferSize() const {
    const auto index = mnuOptionBufferSize.firstChecked();
    return index ? *index * 25 : 10;
}

void frmMain::RefreshTail() {
    if (mblnReading || mstrFilePath.isEmpty()) {
        return;
    }
    try {
        const std::int32_t lineCount = GetLineCount();
        const platform::FileStamp stamp = platform::queryFile(mstrFilePath);
        if (lineCount == mlngLineCount && stamp.lastModified == mdtmLastModified &&
            stamp.length == mdblFileLen && stamp.id == mFileId) {
            return;
        }
        const std::int32_t bufferSize = GetBufferSize();
        // The change counts as seen only once its lines are read: a read that fails or stalls
        // is tried again at the next check.
        QString text;
        if (stamp.length != 0) {
            mblnReading = true;
            text = readTailText(mstrFilePath, stamp.length, lineCount, bufferSize);
        }
        mlngLineCount = lineCount;
        mdtmLastModified = stamp.lastModified;
        mdblFileLen = stamp.length;
        mFileId = stamp.id;
        mdblBufferSize = bufferSize;
        lblLastModified.setCaption(formatDateTime(mdtmLastModified));
        lblFileLen.setCaption(formatFileLen(mdblFileLen));
        if (mdblFileLen == 0) {
            // Forget the old tail too, so a later re-render cannot bring back vanished lines.
            mstrTailText.clear();
            txtView.setText({});
            return;
        }
        mstrTailText = std::move(text);
        if (!port.isActiveWindow()) {
            mintFlashState = 1;
            timFlash.setEnabled(true);
        }
        ShowTailText();
        mblnReading = false;
    } catch (const platform::FileSystemStalled&) {
        // A share that stopped answering: no message, monitoring goes on, and the next check
        // asks again.
        mblnReading = false;
    } catch (const std::system_error& error) {
        failRead(systemErrorText(error));
    } catch (const std::exception& error) {
        failRead(QString::fromLocal8Bit(error.what()));
    }
}

void frmMain::failRead(const QString& description) {
    mblnReading = false;
    mnuMonitorStop_Click();
    port.MsgBox(description, PlatformPort::MsgButtons::Ok, PlatformPort::MsgIcon::Critical,
                GetAppCaption());
}
