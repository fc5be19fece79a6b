#include "window/property_list_export_dialog.h"

#include "alerts/alert_queue.h"
#include "dialogs/dialog_service.h"
#include "dialogs/file_error_messages.h"
#include "dialogs/output_confirmation.h"
#include "document/tardigo_document.h"
#include "exchange/plist_export.h"
#include "window/file_manager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tardigo {

void exportPropertyListDialog(QWidget* window, TardigoDocument& document) {
    document.finishAllEditing();
    const QString suggested = QDir::home().filePath(QFileInfo(document.displayName()).completeBaseName());
    const QString path = DialogService::exportFileName(
        window, suggested, QCoreApplication::translate("PropertyListExport", "XML property lists (*.plist)"),
        QStringLiteral("plist"));
    // The save dialog asked before it replaced a file.
    if (path.isEmpty() || !confirmOutput(window, path, {document.fileName()}, true))
        return;
    const QString error = exportPropertyListFile(*document.data(), path);
    if (!error.isEmpty()) {
        if (AlertQueue* alerts = document.alertQueue())
            alerts->addAlert(exportErrorMessage(path, error));
        return;
    }
    FileManager::reveal(path);
}

} // namespace tardigo
