#pragma once

#include "ical/ical_handle.h"
#include "model/value.h"

namespace tardigo {

/// A new, empty VCALENDAR naming us as its producer.
IcalComponentPtr newCalendar();
/// A calendar holding the one component, which it then owns.
IcalComponentPtr calendarHolding(IcalComponentPtr component);

/// The whole list as one VCALENDAR: a VTODO for every item, each naming its parent by uid and its
/// place among its siblings, stamped with the time its history last changed. Items should have
/// their uids first (assignItemUids).
QByteArray listCalendarText(const Dict& root);

} // namespace tardigo
