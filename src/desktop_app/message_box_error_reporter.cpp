#include "desktop_app/message_box_error_reporter.h"

#include "dialogs/dialog_service.h"

namespace tardigo {

void MessageBoxErrorReporter::showError(const QString& title, const QString& message) {
    DialogService::warning(nullptr, title, title, message);
}

} // namespace tardigo
