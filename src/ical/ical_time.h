#pragma once

#include <libical/ical.h>

#include <QDateTime>
#include <QString>

#include <optional>

namespace tardigo {

// Times between stored date strings and iCalendar. A time is written in UTC, which every client
// reads; when the stored string's offset is not the local zone's at that instant, the offset rides
// along as a parameter so that reading it back gives the very same string.

/// The instant in UTC, as libical holds it; nothing for an instant libical cannot write (it
/// refuses years past 3000 and would write zeros in their place).
std::optional<icaltimetype> icalUtcTime(const QDateTime& time);
/// A DATE-TIME property made by `make` for the stored date string's instant; null when the text
/// is not a stored date string or its instant cannot be written.
icalproperty* storedDateProperty(icalproperty* (*make)(icaltimetype), const QString& storedDate);
/// The instant of a DATE-TIME or DATE property of the component: UTC, a zone the calendar or the
/// system knows, or floating (local); a DATE is local midnight. Nothing when it holds no valid time.
std::optional<QDateTime> propertyInstant(icalproperty* property, icalcomponent* component);
/// The property's instant as a stored date string, in the offset it was written with by us, else in
/// the local zone.
std::optional<QString> propertyStoredDate(icalproperty* property, icalcomponent* component);

} // namespace tardigo
