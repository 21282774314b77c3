// SPDX-License-Identifier: MIT
#include "platform/SystemText.h"
#include "platform/TextCodec.h"

#include <QStringDecoder>
#include <QtTest>

namespace {} // namespace

class SystemTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whole lines take a faster road; a mark at the start, a cut character, bytes that are no
    // text must not tell the two apart.
    void decodesSettingsLinesLikeTheSystemDecoder() {
        if (logwarden::platform::systemCodeSet() != "UTF-8") {
            QSKIP("the cases are UTF-8's; the system's code page is another");
        }
        for (const QByteArray& bytes :
             {"\xEF\xBB\xBF-\n"_qba, "\xEF\xBB\xBF"_qba, "a\xE3\x81"_qba, "a\xE3\x81\n"_qba,
              "\xff\xE3\x81\x82\n"_qba, "\xF0\x9F\x98"_qba}) {
            QCOMPARE(logwarden::platform::decodeSystemText(bytes),
                     QStringDecoder(QStringDecoder::System).decode(bytes));
        }
    }
};

QTEST_GUILESS_MAIN(SystemTextTest)
#include "tst_systemtext.moc"
