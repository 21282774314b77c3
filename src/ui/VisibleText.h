// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

// Text as one visible line, so that what a file or a file name holds can neither break a line
// nor hide or reorder what follows it: a control character shows as its picture (NUL as ␀,
// ESC as ␛), and a line or paragraph separator or a bidi control (embedding, override,
// isolate, mark) as its code, "<U+202E>". Tabs and line feeds stay unless `oneLine` is set: a
// line feed inside a piece of the view is still a line of the file.
QString visibleText(QStringView text, bool oneLine = false);
