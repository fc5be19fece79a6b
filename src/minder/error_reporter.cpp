#include "minder/error_reporter.h"

#include "platform/localized.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMinderErrors, "tardigo.minder")

namespace tardigo {

void ErrorReporter::noteError(const QString& message) {
    qCWarning(lcMinderErrors).noquote() << message;
    showError(localized(QStringLiteral("MINDER_ERROR")), message);
}

} // namespace tardigo
