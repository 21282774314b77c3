// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// The one owner of the view text's format. The text a text box holds is the tail as rendered:
// pieces of the file, each followed by CR LF, with the file's own characters, so that a copy
// matches the log. How that text becomes the lines the view draws, and how the view carries the
// reader's place from one text to the next, is worked out here on plain values.
namespace logwarden::ui {

// Appends one rendered piece and the CR LF that ends it.
void appendPiece(QString& text, QStringView piece);

// Text as one visible line, so that what a file or a file name holds can neither break a line
// nor hide or reorder what follows it: a control character shows as its picture (NUL as ␀,
// ESC as ␛, NEL as ␤), and a line or paragraph separator or a bidi control (embedding,
// override, isolate, mark) as its code, "<U+202E>". Tabs stay unless `oneLine` is set.
QString visibleText(QStringView text, bool oneLine = false);

// The lines of a text box's text, as views into it, without their line ends. A line ends at
// LF; the CR of a CR LF and one CR before it (a CR LF log read with LF as the line end) belong
// to the line end, which the classic control showed as nothing. An empty last line is where
// the file's next line will go, not a line yet.
QList<QStringView> splitLines(QStringView text);

// What the view draws for one line: its characters made visible, and a line too long or a
// character with too many combining marks shortened, with a mark where it was cut.
QString displayLine(QStringView line);

// How the lines shown become the next ones: the first `dropped` leave, the `kept` after them
// stay, after the `fresh` first lines of the next (a read window that cuts its first line anew
// starts with one), and the rest of the next come after. When none stay, all are replaced.
struct LineChange {
    qsizetype dropped = 0;
    qsizetype kept = 0;
    qsizetype fresh = 0;
    friend bool operator==(const LineChange&, const LineChange&) = default;
};
LineChange lineChange(const QList<QStringView>& shown, const QList<QStringView>& next);

// Where the `count` lines of `shown` from `first` on are in `next`: the same lines where they
// stayed; otherwise the same text, at the same occurrence of its first line. None when they are
// not all there.
std::optional<qsizetype> findLines(const QList<QStringView>& shown, const QList<QStringView>& next,
                                   LineChange change, qsizetype first, qsizetype count = 1);

} // namespace logwarden::ui
