#pragma once

#include "minder/error_reporter.h"

#include <QStringList>

namespace tardigo {

/// Keeps the errors instead of showing them, for headless runs and tests.
class RecordingErrorReporter : public ErrorReporter {
public:
    QStringList titles;
    QStringList messages;

protected:
    void showError(const QString& title, const QString& message) override {
        titles.append(title);
        messages.append(message);
    }
};

} // namespace tardigo
