#pragma once

#include <QDateTime>
#include <QString>

namespace tardigo {

/// The user's short date format, one space, then the user's time format, in QDateTime's format
/// language: the preferences "userShortDateFormat" and "userTimeFormat" where set, else the locale's.
QString userDateTimeFormat();
/// The user's short date format: the preference "userShortDateFormat" where set, else the locale's.
QString userShortDateFormat();
/// The user's time format alone: the preference "userTimeFormat" where set, else the locale's.
QString userTimeFormat();
/// The date in the local time zone, as every date the minder, the history and the printout show.
QString formatUserDateTime(const QDateTime& date);

} // namespace tardigo
