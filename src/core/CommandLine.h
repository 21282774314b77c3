// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace logwarden::core {

// The path that the argument text names: the text itself, less one pair of quotes around it.
QString commandLinePath(const QString& text);

// What the program prints instead of opening its window when the whole argument text is
// "--help" or "--version" and no file of that name is in the current folder; empty otherwise.
QString commandLineReply(const QString& text);

} // namespace logwarden::core
