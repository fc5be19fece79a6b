#pragma once

#include <QString>

namespace tardigo {

/// Where the minder's errors go: each is logged and then shown in an alert attached to no window.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;

    /// Logs the message as one line, then shows it titled "Tardigo Minder Error" in the user's language.
    void noteError(const QString& message);
    /// The same for what the user should know although nothing failed, such as a due date moved
    /// to the end of a shorter month.
    void noteNotice(const QString& message);
    /// Logs the title and message as one line, then shows them as an error under that title.
    void reportError(const QString& title, const QString& message);

protected:
    /// Shows an alert with the title, the message as written and one default button; the answer is unused.
    virtual void showError(const QString& title, const QString& message) = 0;
    /// Shows a notice; as an error, unless the reporter tells the two apart.
    virtual void showNotice(const QString& title, const QString& message) { showError(title, message); }
    /// Whether a report is logged before it is shown: not where showing it prints that very line.
    virtual bool logsReports() const { return true; }

private:
    void log(const QString& line) const;
};

} // namespace tardigo
