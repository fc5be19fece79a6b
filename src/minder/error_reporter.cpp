#include "minder/error_reporter.h"

#include "model/core_log.h"

#include <QCoreApplication>

namespace tardigo {

void ErrorReporter::noteError(const QString& message) {
    log(message);
    showError(QCoreApplication::translate("ErrorReporter", "Tardigo Minder Error"), message);
}

void ErrorReporter::noteNotice(const QString& message) {
    log(message);
    showNotice(QCoreApplication::translate("ErrorReporter", "Tardigo Minder Error"), message);
}

void ErrorReporter::reportError(const QString& title, const QString& message) {
    log(title + u' ' + QString(message).replace(u'\n', u' '));
    showError(title, message);
}

void ErrorReporter::log(const QString& line) const {
    if (logsReports())
        qCWarning(lcMinder).noquote() << line;
}

} // namespace tardigo
