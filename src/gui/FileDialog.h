// SPDX-License-Identifier: MIT
#pragma once

#include "files/OpenFileName.h"

#include <QStringList>

class QWidget;

// The record's filter list as Qt name filters, "description (patterns)", one per pair. "*.*"
// becomes "*": on Windows it means every file, while here it would skip names without a dot.
QStringList nameFilters(const QByteArray& lpstrFilter);

// Shows Qt's own file dialog for the record, modal to `owner`; on a choice fills the record
// (files::completeChoice) and returns true.
bool showRecordDialog(QWidget* owner, bool save, files::OpenFileName& record);
