#include "agenda/gui/agenda_empty_hint.h"

#include "agenda/core/agenda_model.h"
#include "widgets/empty_list_hint.h"

#include <QCoreApplication>

namespace tardigo {

QString agendaEmptyHint(const AgendaModel& model, const QString& search, bool hasLists) {
    if (!search.trimmed().isEmpty())
        return searchMatchesNothingHint(search);
    if (!model.category().isEmpty())
        return QCoreApplication::translate(
                   "AgendaEmptyHint",
                   "No item of the category “%1” is shown here.\nChoose All Categories to see the "
                   "items of every category.")
            .arg(model.category());
    if (!hasLists)
        return QCoreApplication::translate(
            "AgendaEmptyHint", "No list is open or watched by the minder.\nOpen a list to see its "
                               "items here: the minder watches every list you open or save.");
    if (!model.showsUndated())
        return QCoreApplication::translate(
            "AgendaEmptyHint",
            "No outstanding item has a due date.\nCheck “Show items without a due date” to "
            "see the others.");
    return QCoreApplication::translate("AgendaEmptyHint", "These lists hold no outstanding item.");
}

} // namespace tardigo
