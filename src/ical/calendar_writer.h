#pragma once

#include "ical/ical_handle.h"
#include "model/value.h"

namespace tardigo {

/// A new, empty VCALENDAR naming us as its producer.
IcalComponentPtr newCalendar();
/// A calendar holding the one component, which it then owns, with the VTIMEZONE of the user's zone
/// when the component names it.
IcalComponentPtr calendarHolding(IcalComponentPtr component);

/// The whole list as one VCALENDAR: a VTODO for every item, each naming its parent by uid and,
/// where its creation does not give its place among its siblings, a sort order that does; stamped
/// with the time its history last changed. Items should have their uids first (assignItemUids).
QByteArray listCalendarText(const Dict& root);

} // namespace tardigo
