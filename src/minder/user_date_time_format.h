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
/// The date, in its own zone, as every date the minder shows to the user.
QString formatUserDateTime(const QDateTime& date);

} // namespace tardigo
