#pragma once

#include <libical/ical.h>

#include <QByteArray>

namespace tardigo {

/// The text of a calendar another program wrote, brought to what `calendar` (read from `original`
/// and changed since) now holds. Every line whose property still says the same is kept as it came,
/// folding and all; so is every line libical could not read, unless a property of its name was
/// written anew beside it, and every component libical does not know. Only what changed is
/// libical's text. Lines outside the calendar stay as they are.
QByteArray keptCalendarText(const QByteArray& original, icalcomponent* calendar);

} // namespace tardigo
