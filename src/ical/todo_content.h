#pragma once

#include "model/value.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

namespace tardigo {

/// How a to-do another program wrote says what it says, where iCalendar leaves a choice: kept so
/// that writing the to-do back keeps its form while what it says stays.
struct TodoForm {
    bool dueIsDay = false; // DUE is a date without a time (VALUE=DATE)
    bool ownStart = false; // DTSTART is the writer's own, not the due date
};

/// What a to-do says of an item: the item keys a to-do stands for, and the item's place in the tree.
struct TodoContent {
    NodePtr item = Dict::create(); // only the mapped keys (see todoMappedKeys())
    QString parentUid;             // the parent item's uid; empty at the top level
    QStringList childUids;         // the to-dos it names as its children (RELTYPE=CHILD)
    /// Its place among its siblings as clients that share it read it: seconds since 2001-01-01
    /// (X-APPLE-SORT-ORDER, or the order earlier versions wrote). None: it stands at its creation.
    std::optional<qint64> sortOrder;
    /// When the reminder's alarm was acknowledged elsewhere, at or after it came; the reminder then
    /// does not come again here.
    std::optional<QDateTime> reminderAcknowledged;
    TodoForm form;

    /// Where it stands among its siblings: its sort order, else its creation; none without either.
    std::optional<qint64> sortKey() const;
};

} // namespace tardigo
