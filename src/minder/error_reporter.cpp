#include "minder/error_reporter.h"

#include "minder/minder_log.h"
#include "platform/localized.h"

namespace tardigo {

void ErrorReporter::noteError(const QString& message) {
    qCWarning(lcMinder).noquote() << message;
    showError(localized(QStringLiteral("MINDER_ERROR")), message);
}

void ErrorReporter::alertPanel(const QString& title, const QString& message) {
    qCWarning(lcMinder).noquote() << title << QString(message).replace(u'\n', u' ');
    showError(title, message);
}

} // namespace tardigo
