#pragma once

#include <libical/ical.h>

#include <QDateTime>

#include <optional>

namespace tardigo {

// Repeat periods as recurrence rules (RRULE). Rules are anchored at the due date, so a rule that
// names a weekday, a day or a month expresses a period only where it names the due date's own.

/// The rule of a period for an item due at `due`; nothing for a period no rule expresses (the two
/// random periods, no repeat, or a monthly position without a due date to take it from).
std::optional<icalrecurrencetype> recurrenceForPeriod(qint64 period, const std::optional<QDateTime>& due);
/// The period a rule expresses for an item due at `due`; nothing for a rule no period expresses.
std::optional<qint64> periodForRecurrence(const icalrecurrencetype& rule,
                                          const std::optional<QDateTime>& due);

} // namespace tardigo
