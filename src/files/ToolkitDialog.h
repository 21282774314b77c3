// SPDX-License-Identifier: MIT
#pragma once

#include "files/OpenFileName.h"
#include "platform/PlatformPort.h"

namespace logwarden::files {

// The record's filter list as name filters, one per pair of description and patterns. "*.*"
// becomes "*": on Windows it means every file, while here it would skip names without a dot.
QList<platform::FileDialogRequest::NameFilter> nameFilters(const QByteArray& lpstrFilter);

// The toolkit's dialog for the record: its title, filters, folder, suffix, the options it
// honours, and the refusal of a choice that the record's buffers cannot hold.
platform::FileDialogRequest dialogRequest(const OpenFileName& record, bool save);

} // namespace logwarden::files
