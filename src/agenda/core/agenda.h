#pragma once

#include "dates/agenda_section.h"
#include "model/value.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <vector>

namespace tardigo {

class ItemSearch;

/// An outstanding item of a list as the agenda shows it.
struct AgendaEntry {
    QString list;    // the list's file path
    QList<int> path; // the item's place in the list (see FoundItem)
    NodePtr item;
    QDateTime due; // invalid: none
    AgendaSection section;
};

/// The outstanding (not completed) items of a list that match the search, each with its due date;
/// those without one only when asked for.
std::vector<AgendaEntry> agendaEntries(const QString& list, const Dict& root, const QDateTime& now,
                                       const ItemSearch& search, bool withoutDueDates);

/// Sorts entries by due date (those without one last), then by list, then by place in the list.
void sortAgenda(std::vector<AgendaEntry>& entries);

} // namespace tardigo
