#pragma once

#include <QStringList>

#include <optional>

namespace tardigo {

/// Asks the system's file-name index for list files: `/usr/bin/locate "*.todo"` by default.
class TodoLocator {
public:
    TodoLocator();
    /// Runs another command instead (tests use stand-in scripts).
    TodoLocator(QString program, QStringList arguments);

    /// The located paths that name existing files the user can read and write, in the locator's
    /// order; none when the locator is missing, fails or exits with a status other than 0.
    std::optional<QStringList> locateTodoItems() const;

private:
    QString _program;
    QStringList _arguments;
};

} // namespace tardigo
