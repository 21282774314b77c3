// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// Starts `program` with `arguments`, each reaching it as one argument with its name's own
// bytes (no shell), as a process of its own that this one never waits for, in this process's
// current folder and environment plus `variable` ("NAME=value"). Returns the system's reason
// when it cannot be started, nothing otherwise.
QString startDetached(const QString& program, const QStringList& arguments,
                      const QByteArray& variable);

} // namespace platform
