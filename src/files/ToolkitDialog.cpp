// SPDX-License-Identifier: MIT
// Where the dialog record is not the system's own, it is shown as a request for the toolkit's
// dialog, and the choice written back into it as the system's dialog would.
#include "files/ToolkitDialog.h"

#include "platform/SystemText.h"

namespace logwarden::files {

using platform::FileDialogRequest;

QList<FileDialogRequest::NameFilter> nameFilters(const QByteArray& lpstrFilter) {
    const QList<QByteArray> parts = lpstrFilter.split('\0');
    QList<FileDialogRequest::NameFilter> filters;
    // An empty description ends the list.
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : platform::decodeSystemText(parts[i + 1]).split(u';')) {
            const QString trimmed = pattern.trimmed();
            if (!trimmed.isEmpty()) {
                patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
            }
        }
        if (!patterns.isEmpty()) {
            filters.append({platform::decodeSystemText(parts[i]), patterns});
        }
    }
    return filters;
}

FileDialogRequest dialogRequest(const OpenFileName& record, bool save) {
    const auto has = [&](std::uint32_t bit) {
        return (record.Flags & bit) != 0;
    };
    FileDialogRequest request;
    request.save = save;
    request.title = platform::decodeSystemText(record.lpstrTitle);
    request.filters = nameFilters(record.lpstrFilter);
    request.initialFolder = bufferText(record.lpstrInitialDir);
    request.defaultSuffix = platform::decodeSystemText(record.lpstrDefExt);
    request.multiple = !save && has(OFN_ALLOWMULTISELECT);
    request.fileMustExist = !save && has(OFN_FILEMUSTEXIST);
    request.pathMustExist = has(OFN_PATHMUSTEXIST);
    request.createPrompt = has(OFN_CREATEPROMPT);
    request.overwritePrompt = has(OFN_OVERWRITEPROMPT);
    request.noReadOnly = has(OFN_NOREADONLYRETURN);
    // A choice the record's buffers cannot hold makes the system's dialog fail; the toolkit's
    // says so and lets the user choose again.
    request.refusal = [record](const QStringList& chosen) {
        OpenFileName probe = record;
        probe.Flags |= OFN_NOCHANGEDIR;
        return completeChoice(probe, chosen)
                   ? QString()
                   : QStringLiteral("%1\nパスが長すぎます。").arg(chosen.value(0));
    };
    return request;
}

bool callDialogFunction(DialogFunction function, OpenFileName& record,
                        platform::PlatformPort& port) {
    // The toolkit has no preview pane; the preview functions show the plain dialog.
    const bool save = function == DialogFunction::GetSaveFileName ||
                      function == DialogFunction::GetSaveFileNamePreview;
    return completeChoice(record, port.showFileDialog(dialogRequest(record, save)));
}

} // namespace logwarden::files
