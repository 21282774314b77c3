// SPDX-License-Identifier: MIT
// The tail reader: the one road by which the watched file is read.
#include "core/TailDecoder.h"
#include "core/TailReader.h"
#include "core/frmMain.h"

#include <system_error>
#include <tuple>

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

namespace {
using ComparisonState =
    std::tuple<std::int32_t, platform::DateTime, std::int64_t, std::optional<platform::FileId>>;
} // namespace

void frmMain::RefreshTail() {
    if (mblnReading || mstrFilePath.isEmpty()) {
        return;
    }
    const ComparisonState seen{mlngLineCount, mdtmLastModified, mdblFileLen, mFileId};
    try {
        const std::int32_t lineCount = GetLineCount();
        const platform::FileStamp stamp = platform::queryFile(mstrFilePath);
        mMissingTicks.reset();
        if (lineCount == mlngLineCount && stamp.lastModified == mdtmLastModified &&
            stamp.length == mdblFileLen && stamp.id == mFileId) {
            return;
        }
        mlngLineCount = lineCount;
        mdtmLastModified = stamp.lastModified;
        mdblFileLen = stamp.length;
        mFileId = stamp.id;
        mdblBufferSize = GetBufferSize();
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
        mTailBytes = readTail(mstrFilePath, mdblFileLen, mlngLineCount,
                              static_cast<std::int64_t>(mdblBufferSize));
        decodeShownTail();
        if (!port.isActiveWindow()) {
            mintFlashState = 1;
            timFlash.setEnabled(true);
            port.requestAttention(); // a taskbar or dock shows it too
        }
        ShowTailText();
        mblnReading = false;
    } catch (const platform::FileSystemStalled&) {
        // A share that stopped answering: no message, monitoring goes on, and the next check
        // asks again, as if this one had not seen the change.
        std::tie(mlngLineCount, mdtmLastModified, mdblFileLen, mFileId) = seen;
        mblnReading = false;
    } catch (const std::system_error& error) {
        if (!waitForRotation(error)) {
            failRead(systemErrorText(error));
        }
    } catch (const std::exception& error) {
        failRead(QString::fromLocal8Bit(error.what()));
    }
}

// The last read is kept, so that another encoding shows it again without reading the file.
void frmMain::decodeShownTail() {
    const auto encoding =
        static_cast<TailEncoding>(mnuOptionEncodingType.firstChecked().value_or(0));
    const DecodedTail decoded = decodeTail(mTailBytes.shown(), mTailBytes.cut, encoding);
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

// A log being rotated is missing for a moment: while monitoring, its path is given five ticks
// (about five seconds) to come back before it counts as gone.
bool frmMain::waitForRotation(const std::system_error& error) {
    constexpr int rotationTicks = 5;
    if (!timFileCheck.enabled() || error.code() != std::errc::no_such_file_or_directory) {
        return false;
    }
    mblnReading = false;
    if (!mMissingTicks) {
        mMissingTicks = 0;
    }
    return *mMissingTicks < rotationTicks;
}

void frmMain::failRead(const QString& description) {
    mblnReading = false;
    mnuMonitorStop_Click();
    port.MsgBox(description, PlatformPort::MsgButtons::Ok, PlatformPort::MsgIcon::Critical,
                GetAppCaption());
}

} // namespace logwarden::core
