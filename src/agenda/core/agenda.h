#pragma once

#include "model/value.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <vector>

namespace tardigo {

class ItemSearch;

/// Where an item falls in the agenda, counted from now in the local time zone.
enum class AgendaSection { Overdue, Today, Tomorrow, ThisWeek, Later, NoDate };

/// An outstanding item of a list as the agenda shows it.
struct AgendaEntry {
    QString list;    // the list's file path
    QList<int> path; // the item's place in the list (see FoundItem)
    NodePtr item;
    QDateTime due; // invalid: none
    AgendaSection section;
};

/// The section of a due date: past it is overdue; else its day is today, tomorrow, one of the five
/// days after (this week), or later. An invalid date has none.
AgendaSection agendaSection(const QDateTime& due, const QDateTime& now);

/// The outstanding (not completed) items of a list that match the search, each with its due date;
/// those without one only when asked for.
std::vector<AgendaEntry> agendaEntries(const QString& list, const Dict& root, const QDateTime& now,
                                       const ItemSearch& search, bool withoutDueDates);

/// Sorts entries by due date (those without one last), then by list, then by place in the list.
void sortAgenda(std::vector<AgendaEntry>& entries);

} // namespace tardigo
