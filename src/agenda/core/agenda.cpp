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

namespace {

// One walk of the tree; an item's place is copied only for the items the agenda keeps, which with
// an empty search are those with a due date, most often a small part of the list.
void collect(const QString& list, const Dict& node, const QDateTime& now, const ItemSearch& search,
             bool withoutDueDates, QList<int>& path, std::vector<AgendaEntry>& entries) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    for (size_t i = 0; i < children->items.size(); ++i) {
        const NodePtr child = children->items[i].asDict();
        if (!child)
            continue;
        path.append(int(i));
        const QDateTime due = parseStoredDate(child->value(key::due)).value_or(QDateTime());
        if ((due.isValid() || withoutDueDates) && !isCompleted(*child) && search.matches(*child))
            entries.push_back({list, path, child, due, agendaSection(due, now)});
        collect(list, *child, now, search, withoutDueDates, path, entries);
        path.removeLast();
    }
}

} // namespace

std::vector<AgendaEntry> agendaEntries(const QString& list, const Dict& root, const QDateTime& now,
                                       const ItemSearch& search, bool withoutDueDates) {
    std::vector<AgendaEntry> entries;
    QList<int> path;
    collect(list, root, now, search, withoutDueDates, path, entries);
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
