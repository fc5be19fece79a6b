#include "widgets/empty_list_hint.h"

#include <QCoreApplication>
#include <QKeySequence>

namespace tardigo {

QString emptyListHint(const ItemCounts& counts, const QString& search, const QKeySequence& newItem,
                      const QKeySequence& showCompleted) {
    if (counts.total > 0 && !search.trimmed().isEmpty())
        return searchMatchesNothingHint(search);
    if (counts.total > 0)
        return QCoreApplication::translate(
                   "EmptyListHint",
                   "Every item of this list is completed and hidden.\nPress %1 or click Hide Completed to "
                   "show them again.")
            .arg(showCompleted.toString(QKeySequence::NativeText));
    return QCoreApplication::translate(
               "EmptyListHint", "This list has no items yet.\nPress %1 or click New to add the first one.")
        .arg(newItem.toString(QKeySequence::NativeText));
}

QString searchMatchesNothingHint(const QString& search) {
    return QCoreApplication::translate("EmptyListHint",
                                       "No item matches “%1”.\nPress Escape in the search field to clear it.")
        .arg(search.trimmed());
}

} // namespace tardigo
