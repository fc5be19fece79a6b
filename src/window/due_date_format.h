#pragma once

#include <QDateTime>
#include <QString>

namespace tardigo {

/// The due column's text for a date: the user's short date and time formats, in local time.
QString formatDueDate(const QDateTime& due);
/// The date a user typed into the due column: the column's own format, the stored and ISO forms,
/// a date alone (at midnight), or "now", "today", "tomorrow", "yesterday". Invalid for an empty or
/// unreadable text, which clears the due date.
QDateTime parseDueDate(const QString& text);

} // namespace tardigo
