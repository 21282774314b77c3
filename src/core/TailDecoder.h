// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

namespace logwarden::core {

// The encodings the 文字コード menu offers, by their item index; Auto detects them.
enum class TailEncoding { Auto = 0, Utf8 = 1, ShiftJis = 2, EucJp = 3 };

struct DecodedTail {
    QString text;
    QString encoding; // what the bytes were read as: "Shift_JIS", or "UTF-8 + EUC-JP" for a mix
};

// Decodes the lines of a tail. `cut`: the bytes begin inside a line that began before them, so
// maybe inside a character, which is then left out. Auto takes valid UTF-8 as UTF-8; it reads
// the other lines in the locale's code set when that is not UTF-8 and reads them cleanly, else
// in Shift_JIS or EUC-JP, whichever the charset detector finds or, failing it, they fit, else in
// the locale's code set all the same.
DecodedTail decodeTail(QByteArrayView bytes, bool cut, TailEncoding encoding);

} // namespace logwarden::core
