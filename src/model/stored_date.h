#pragma once

#include "model/value.h"

#include <QDateTime>

#include <optional>

namespace tardigo {

/// The text form of the times a user sees: "%Y-%m-%d %H:%M:%S %z", e.g. "2003-05-17 14:03:22 +0200".
/// The time is written in its own offset from GMT.
QString storedDateString(const QDateTime& time);
/// The current time, in the local zone, as a stored date string.
QString storedDateStringNow();
/// Parses a stored date string; the result keeps the string's offset. Anything else is absent.
std::optional<QDateTime> parseStoredDate(const QString& text);
/// The same for a node value: only a string that parses is a date.
std::optional<QDateTime> parseStoredDate(const Value& value);

/// Seconds since 2001-01-01 00:00:00 UTC, the archive's epoch.
QDateTime dateTimeFromReferenceSeconds(double seconds);
double referenceSecondsFromDateTime(const QDateTime& time);
/// An archived calendar date in its own zone (the local zone when the zone is unknown).
QDateTime dateTimeFromCalendarDate(const CalendarDate& date);

} // namespace tardigo
