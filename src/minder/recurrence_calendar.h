#pragma once

#include "model/clock.h"

#include <QDateTime>

#include <optional>

namespace tardigo {

// Calendar arithmetic of the minder. A date's calendar fields are read in its own zone (a fixed
// offset for due dates, the local zone for "now").

/// Day of the week from 0 (Sunday) to 6 (Saturday).
int weekDay(const QDate& date);
/// Days in the month: February has 29 in leap years; 0 for a month outside 1 to 12.
int daysInMonthNum(int month, int year);
/// The ordinal of the date's weekday within its month: days 1 to 7 give 1, ... 29 to 31 give 5.
int nthInstanceOfWeekDay(const QDateTime& date);
/// The nth day (from 1) falling on weekDay (0 to 6) in monthOfDate's month, at 00:00:00 in its
/// zone; none when the month does not hold it.
std::optional<QDateTime> dayOfMonthForNth(int nth, int weekDay, const QDateTime& monthOfDate);
/// The wall-clock time on the given day in the zone of zoneOf; the time of day survives a
/// daylight-saving change on that day.
QDateTime dateInZoneOf(const QDate& day, const QTime& time, const QDateTime& zoneOf);

/// True when the date is earlier than or equal to now.
bool isPast(const QDateTime& date, const QDateTime& now = Clock::now());
/// True when the date is later than or equal to now.
bool isFuture(const QDateTime& date, const QDateTime& now = Clock::now());

} // namespace tardigo
