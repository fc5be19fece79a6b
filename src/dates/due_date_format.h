#pragma once

#include <QDateTime>
#include <QString>

namespace tardigo {

/// The due column's text for a date: the user's short date and time formats, in local time, with
/// the seconds only when they are not zero.
QString formatDueDate(const QDateTime& due);

/// The user's date-time format with its seconds, whether or not the user's time format shows them.
QString dueDateFormatWithSeconds();
/// The user's date-time format without seconds.
QString dueDateFormatWithoutSeconds();
/// A date-time format without its seconds, their separator and any fraction of them.
QString formatWithoutSeconds(const QString& format);

} // namespace tardigo
