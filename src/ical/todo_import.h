#pragma once

#include "ical/calendar_reader.h"
#include "ical/todo_content.h"
#include "model/value.h"

#include <QHash>
#include <QStringList>

#include <vector>

namespace tardigo {

/// What adding a calendar's to-dos to a list did.
struct TodoImport {
    qsizetype added = 0;
    qsizetype updated = 0;
    qsizetype others = 0;  // components that are not to-dos, or only instances of a repeating one
    QStringList keptRules; // the names of items whose repeat no period expresses
    QStringList leftOut;   // the properties libical could not read, a sentence each
    QString error;         // empty when the list holds the to-dos
    bool ok() const { return error.isEmpty(); }
};

/// Adds the to-dos as items of the list, each under the item of its parent's uid (named by the
/// child, or by the parent as its child), after the children already there, in the order of their
/// sort keys. A to-do whose uid an item of the list holds updates that item instead (and moves it
/// when its parent changed). `fileName` names the calendar in errors.
TodoImport importTodos(Dict& root, const CalendarTodos& todos, const QString& fileName);
/// The same for all the to-dos of what was read; what it could not read is named in `leftOut`.
TodoImport importTodos(Dict& root, const CalendarRead& read, const QString& fileName);

/// Each to-do's parent where only the parent names it (RELTYPE=CHILD): the uid of the first to-do
/// that names it, by the uid of the child.
QHash<QString, QString> parentsNamingChildren(const std::vector<const TodoContent*>& contents);

} // namespace tardigo
