#pragma once

#include "ical/calendar_reader.h"
#include "model/value.h"

#include <QStringList>

namespace tardigo {

/// What adding a calendar's to-dos to a list did.
struct TodoImport {
    qsizetype added = 0;
    qsizetype updated = 0;
    qsizetype others = 0;  // components that are not to-dos, or only instances of a repeating one
    QStringList keptRules; // the names of items whose repeat no period expresses
    QString error;         // empty when the list holds the to-dos
    bool ok() const { return error.isEmpty(); }
};

/// Adds the to-dos as items of the list, each under the item of its parent's uid, after the
/// children already there. A to-do whose uid an item of the list holds updates that item instead
/// (and moves it when its parent changed). `fileName` names the calendar in errors.
TodoImport importTodos(Dict& root, const CalendarTodos& todos, const QString& fileName);

} // namespace tardigo
