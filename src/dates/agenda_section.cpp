#include "dates/agenda_section.h"

namespace tardigo {

constexpr int kDaysInWeek = 7;

AgendaSection agendaSection(const QDateTime& due, const QDateTime& now) {
    if (!due.isValid())
        return AgendaSection::NoDate;
    if (due < now)
        return AgendaSection::Overdue;
    const qint64 days = now.toLocalTime().date().daysTo(due.toLocalTime().date());
    if (days <= 0)
        return AgendaSection::Today;
    if (days == 1)
        return AgendaSection::Tomorrow;
    return days < kDaysInWeek ? AgendaSection::ThisWeek : AgendaSection::Later;
}

} // namespace tardigo
