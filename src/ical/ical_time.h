#pragma once

#include <libical/ical.h>

#include <QDateTime>
#include <QString>

#include <optional>

namespace tardigo {

// Times between stored date strings and iCalendar. The item's own times (its creation and
// completion) are written in UTC, as iCalendar wants them; a due date in the user's zone, by its name.
// When the stored string's offset is not the local zone's at that instant, the time goes in UTC and
// the offset rides along as a parameter, so that reading it back gives the very same string.

/// The instant in UTC, as libical holds it; nothing for an instant libical cannot write (it
/// refuses years past 3000 and would write zeros in their place).
std::optional<icaltimetype> icalUtcTime(const QDateTime& time);
/// A DATE-TIME property made by `make` for the stored date string's instant; null when the text
/// is not a stored date string or its instant cannot be written.
icalproperty* storedDateProperty(icalproperty* (*make)(icaltimetype), const QString& storedDate);
/// A DATE-TIME property made by `make` for a due date (or a start that goes with it): in the user's
/// zone by its name (TZID) where that zone reads it back as the same instant, else as
/// storedDateProperty() writes it. With `asDay`, a time at 23:59:00, the end of its day, is the
/// day alone (VALUE=DATE).
icalproperty* dueDateProperty(icalproperty* (*make)(icaltimetype), const QString& storedDate, bool asDay);
/// The instant of a DATE-TIME or DATE property of the component: UTC, a zone the calendar or the
/// system knows, or floating (local; UTC for the properties iCalendar holds in UTC alone, which some
/// clients write without their "Z"); a DATE is local midnight. Nothing when it holds no valid time.
std::optional<QDateTime> propertyInstant(icalproperty* property, icalcomponent* component);
/// The instant of the component's first property of the kind; nothing when it has none or it holds
/// no valid time.
std::optional<QDateTime> instantOf(icalcomponent* component, icalproperty_kind kind);
/// The property's instant as a stored date string, in the offset it was written with by us, else in
/// the local zone.
std::optional<QString> propertyStoredDate(icalproperty* property, icalcomponent* component);

} // namespace tardigo
