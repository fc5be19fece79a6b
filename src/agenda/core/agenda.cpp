#include "agenda/core/agenda.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "search/item_search.h"

#include <algorithm>

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

std::vector<AgendaEntry> agendaEntries(const QString& list, const Dict& root, const QDateTime& now,
                                       const ItemSearch& search, bool withoutDueDates) {
    std::vector<AgendaEntry> entries;
    for (FoundItem& found : findItems(root, search)) {
        if (isCompleted(*found.item))
            continue;
        const QDateTime due = parseStoredDate(found.item->value(key::due)).value_or(QDateTime());
        if (due.isValid() || withoutDueDates)
            entries.push_back(
                {list, std::move(found.path), std::move(found.item), due, agendaSection(due, now)});
    }
    return entries;
}

void sortAgenda(std::vector<AgendaEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const AgendaEntry& a, const AgendaEntry& b) {
        if (a.due.isValid() != b.due.isValid())
            return a.due.isValid();
        if (a.due != b.due)
            return a.due < b.due;
        if (a.list != b.list)
            return a.list < b.list;
        return a.path < b.path;
    });
}

} // namespace tardigo
