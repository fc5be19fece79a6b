#pragma once

class QWidget;

namespace tardigo {

class TardigoDocument;

/// File > Export as XML Property List…: asks where in a save dialog (the home folder, the list's
/// name without its extension, the extension "plist"), writes the export atomically, says why in
/// words when it could not be written, and shows the written file in the file manager.
void exportPropertyListDialog(QWidget* window, TardigoDocument& document);

} // namespace tardigo
