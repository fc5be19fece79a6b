#pragma once

#include <QDateTime>

namespace tardigo {

/// Where an item falls in the agenda, counted from now in the local time zone.
enum class AgendaSection { Overdue, Today, Tomorrow, ThisWeek, Later, NoDate };

/// The section of a due date: past it is overdue; else its day is today, tomorrow, one of the five
/// days after (this week), or later. An invalid date has none.
AgendaSection agendaSection(const QDateTime& due, const QDateTime& now);

} // namespace tardigo
