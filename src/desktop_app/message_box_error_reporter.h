#pragma once

#include "minder/error_reporter.h"

namespace tardigo {

/// Shows the minder's errors as message boxes attached to no window.
class MessageBoxErrorReporter : public ErrorReporter {
protected:
    void showError(const QString& title, const QString& message) override;
};

} // namespace tardigo
