// SPDX-License-Identifier: MIT
// The tail reader: the one road by which the watched file is read.
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/frmMain.h"
#include "platform/SystemText.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace logwarden::core {
namespace {

QString systemErrorText(const std::system_error& error) {
    return QString::fromLocal8Bit(error.code().message());
}

} // namespace

// The check marks are the working values; gintSizeLineCount and gintSizeBufferSize only copy
// them for the settings file.
std::int32_t frmMain::GetLineCount() const {
    return mnuOptionLineCount.firstChecked().value_or(1) * 10;
}

std::int32_t frmMain::GetBufferSize() const {
    const auto index = mnuOptionBufferSize.firstChecked();
    return index ? *index * 25 : 10;
}

// The check marks are the working values; gintSizeLineCount and gintSizeBufferSize only copy
// them for the settings file.
ComparisonState frmMain::seenState() const {
    return {mlngLineCount, mdtmLastModified, mdblFileLen, mFileId};
}

void frmMain::RefreshTail() {
    if (mblnReading || mstrFilePath.isEmpty()) {
        return;
    }
    try {
        const std::optional<TailLook> look = lookAgain();
        if (!look || look->now == look->seen) {
            return;
        }
        mlngLineCount = look->now.lineCount;
        mdtmLastModified = look->now.lastModified;
        mdblFileLen = look->now.length;
        mFileId = look->now.id;
        mdblBufferSize = static_cast<double>(look->bufferKiB);
        lblLastModified.setCaption(platform::formatDateTime(mdtmLastModified));
        lblFileLen.setCaption(formatFileLen(mdblFileLen));
        if (mdblFileLen == 0) {
            // Forget the old tail too, so a later re-render cannot bring back vanished lines.
            mTailBytes = {};
            decodeShownTail();
            txtView.setText({});
            return;
        }
        mblnReading = true;
        if (look->readError) {
            std::rethrow_exception(look->readError);
        }
        mTailBytes = look->tail;
        const QString before = mstrTailText;
        decodeShownTail();
        noticeNewLines(before);
        if (!port.isActiveWindow()) {
            mintFlashState = 1;
            timFlash.setEnabled(true);
            port.requestAttention(); // a taskbar or dock shows it too
        }
        ShowTailText();
        mblnReading = false;
    } catch (const platform::FileSystemStalled&) {
        // A share that stopped answering before it could say where it is: no message,
        // monitoring goes on, and the next check asks again.
        mblnReading = false;
    } catch (const std::system_error& error) {
        mblnReading = false;
        // A log being rotated is missing for a moment: a check that a notification started
        // leaves that to the next poll, which reports a file still missing.
        if (!mCheckingNotified || error.code() != std::errc::no_such_file_or_directory) {
            failRead(systemErrorText(error));
        }
    } catch (const std::exception& error) {
        failRead(QString::fromLocal8Bit(error.what()));
    }
}

// Where the file answers promptly, a look now; elsewhere on a thread of its own, waited for a
// moment and otherwise taken when it has come (timReadPending asks), so that a share that
// answers slowly still shows its news and never holds the window. A look made for another file
// or state is dropped.
std::optional<TailLook> frmMain::lookAgain() {
    constexpr std::chrono::milliseconds moment{200};
    const ComparisonState seen = seenState();
    if (mPendingLook) {
        if (!mPendingLook->call.waitFor(std::chrono::milliseconds(0))) {
            return std::nullopt;
        }
        PendingLook pending = *std::exchange(mPendingLook, std::nullopt);
        timReadPending.setEnabled(false);
        TailLook look = pending.call.take();
        if (pending.path == mstrFilePath && look.seen == seen) {
            return look;
        }
    }
    const std::int32_t lineCount = GetLineCount();
    const std::int64_t bufferKiB = GetBufferSize();
    if (platform::answersPromptly(mstrFilePath)) {
        return lookAtTail(mstrFilePath, seen, lineCount, bufferKiB);
    }
    const QByteArray key = platform::encodeFileName(mstrFilePath);
    if (platform::isStuck(key)) {
        return std::nullopt; // not asked again until the share answers
    }
    PendingLook pending{mstrFilePath, platform::BackgroundCall<TailLook>(
                                          key, [path = mstrFilePath, seen, lineCount, bufferKiB] {
                                              return lookAtTail(path, seen, lineCount, bufferKiB);
                                          })};
    if (pending.call.waitFor(moment)) {
        return pending.call.take();
    }
    mPendingLook = std::move(pending);
    timReadPending.setEnabled(true);
    return std::nullopt;
}

// The last read is kept, so that another encoding shows it again without reading the file.
// Extraction over the whole read window decodes the window.
void frmMain::decodeShownTail() {
    const auto encoding =
        static_cast<TailEncoding>(mnuOptionEncodingType.firstChecked().value_or(0));
    const bool whole = g.gblnExtractMode && g.gudtWatch.extractWholeWindow;
    const DecodedTail decoded =
        decodeTail(whole ? mTailBytes.wholeLines() : mTailBytes.shown(), mTailBytes.cut, encoding);
    mstrTailText = decoded.text;
    lblFileLen.setToolTipNote(mTailBytes.window.isEmpty()
                                  ? QString()
                                  : QStringLiteral("文字コード: %1（%2）")
                                        .arg(decoded.encoding, encoding == TailEncoding::Auto
                                                                   ? QStringLiteral("自動判定")
                                                                   : QStringLiteral("指定")));
}

void frmMain::mnuOptionEncodingType_Click(int Index) {
    mnuOptionEncodingType.checkOnly(Index);
    if (!mblnReading) {
        decodeShownTail();
        ShowTailText();
    }
}

void frmMain::failRead(const QString& description) {
    mblnReading = false;
    mReadFailed = true;
    mnuMonitorStop_Click();
    port.MsgBox(description, PlatformPort::MsgButtons::Ok, PlatformPort::MsgIcon::Critical,
                GetAppCaption());
}

} // namespace logwarden::core
