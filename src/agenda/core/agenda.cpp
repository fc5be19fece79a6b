#include "agenda/core/agenda.h"

#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "search/item_search.h"

#include <algorithm>

namespace tardigo {

std::vector<AgendaEntry> agendaEntries(const QString& list, const Dict& root, const QDateTime& now,
                                       const ItemSearch& search, bool withoutDueDates) {
    std::vector<AgendaEntry> entries;
    // An item's place is copied only for the items the agenda keeps, which with an empty search are
    // those with a due date, most often a small part of the list.
    forEachItemWithPlace(root, [&](const NodePtr& item, const QList<int>& place) {
        const QDateTime due = parseStoredDate(item->value(key::due)).value_or(QDateTime());
        if ((due.isValid() || withoutDueDates) && !isCompleted(*item) && search.matches(*item))
            entries.push_back({list, place, item, due, agendaSection(due, now)});
    });
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
