#pragma once

#include <QString>

namespace tardigo {

class AgendaModel;

/// What the agenda says when it shows no row: that its search or its category matches nothing, that
/// it has no list to show, or how to see the items it leaves out.
QString agendaEmptyHint(const AgendaModel& model, const QString& search, bool hasLists);

} // namespace tardigo
