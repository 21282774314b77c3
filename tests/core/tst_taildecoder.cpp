// SPDX-License-Identifier: MIT
#include "Rows.h"
#include "core/TailDecoder.h"
#include "platform/TextCodec.h"

namespace {

using namespace logwarden::core;

constexpr TailEncoding detect = TailEncoding::Auto;

QByteArray sjis(const char* text) {
    return logwarden::platform::TextCodec("Shift_JIS").encode(QString::fromUtf8(text)).bytes;
}

QByteArray euc(const char* text) {
    return logwarden::platform::TextCodec("EUC-JP").encode(QString::fromUtf8(text)).bytes;
}

// Bytes, cut, encoding chosen; the text and the encoding named.
using Decode = std::tuple<const char*, QByteArray, bool, TailEncoding, QString, QString>;

} // namespace

class TailDecoderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodesTheTail_data() {
        rows<Decode>({
            {"ends inside a character", "line\n\xE8\xAD", false, detect, "line\n", "UTF-8"},
            // A character of four bytes cut at either edge of the window is no other encoding.
            {"four bytes cut at both edges", "\x9F\x98\x80 ok\n\xF0\x9F\x98\x80\n\xF0\x9F\x98",
             true, detect, " ok\n😀\n", "UTF-8"},
            {"ends inside a Shift_JIS character", sjis("ログ\n") + '\x83', false, detect, "ログ\n",
             "Shift_JIS"},
            {"UTF-8 and Shift_JIS lines, each read as written",
             "a\xE2\x86\x92\n" + sjis("警告: 設定を開けません\n") + "c\n\xE2\x86\x92\n", false,
             detect, "a→\n警告: 設定を開けません\nc\n→\n", "UTF-8 + Shift_JIS"},
            // 漢 8A BF, 字 8E 9A, テ 83 65, ス 83 58: BF cannot lead, 65 cannot lead.
            {"Shift_JIS cut: the byte after one that cannot lead", sjis("漢字テスト\n").sliced(1),
             true, detect, "字テスト\n", "Shift_JIS"},
            {"EUC-JP that reads as Shift_JIS too", euc("ログを開始します\n"), false, detect,
             "ログを開始します\n", "EUC-JP"},
            {"EUC-JP cut: up to a byte below 0xA1",
             euc("ログを開始 1 ファイルを開けません\n").sliced(1), true, detect,
             " 1 ファイルを開けません\n", "EUC-JP"},
            {"UTF-8 chosen for Shift_JIS bytes", sjis("ログ\n"), false, TailEncoding::Utf8,
             "\uFFFD\uFFFD\uFFFDO\n", "UTF-8"},
            {"Shift_JIS chosen: unreadable bytes stay visible", "a\x80\n", false,
             TailEncoding::ShiftJis, "a\uFFFD\n", "Shift_JIS"},
        });
    }

    void decodesTheTail() {
        const auto [tag, bytes, cut, encoding, text, name] = row<Decode>();
        const DecodedTail decoded = decodeTail(bytes, cut, encoding);
        QCOMPARE(decoded.text + u'|' + decoded.encoding, text + u'|' + name);
    }

    // A cut Shift_JIS window loses the bytes that can end a character, for as long as the byte
    // before each can begin one: how many, at each edge of the two byte ranges.
    void shiftJisCutLeavesOutThePieceOfACharacter() {
        const char* cases = "3F0 401 7E1 7F0 801 FC1 FD0 80401 81402 9F402 A0401 DF401 E0402 FC402";
        for (const QByteArray& item : QByteArray(cases).split(' ')) {
            const QByteArray bytes = QByteArray::fromHex(item.chopped(1)) + '\n';
            const auto decoded = [&](int from, bool cut) {
                return item + decodeTail(bytes.sliced(from), cut, TailEncoding::ShiftJis).text;
            };
            QCOMPARE(decoded(0, true), decoded(item.back() - '0', false));
        }
    }
};

QTEST_GUILESS_MAIN(TailDecoderTest)
#include "tst_taildecoder.moc"
