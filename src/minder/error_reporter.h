#pragma once

#include <QString>

namespace tardigo {

/// Where the minder's errors go: each is logged and then shown in an alert attached to no window.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;

    /// Logs the message as one line, then shows it titled with the localized "MINDER_ERROR".
    void noteError(const QString& message);
    /// Logs the title and message as one line, then shows them in a modal alert panel.
    void alertPanel(const QString& title, const QString& message);

protected:
    /// Shows an alert with the title, the message as written and one default button; the answer is unused.
    virtual void showError(const QString& title, const QString& message) = 0;
};

} // namespace tardigo
