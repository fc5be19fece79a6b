#pragma once

#include "ical/ical_handle.h"
#include "ical/todo_content.h"

#include <QDateTime>
#include <QStringList>

namespace tardigo {

// One VTODO per item. A to-do holds the item's own keys (not its children, who are to-dos of
// their own) and its place in the tree; the list keeps everything else.

/// The item keys a to-do stands for.
const QStringList& todoMappedKeys();
/// The content of a list item: its mapped keys and its place.
TodoContent todoContentOf(const Dict& item, const QString& parentUid, std::optional<qint64> order);

/// A new VTODO for the content, stamped as changed at `modified` (now when invalid).
IcalComponentPtr newTodo(const TodoContent& content, const QDateTime& modified);
/// Brings the to-do to the content. Only groups of properties whose meaning differs are rewritten:
/// every property we do not write, and ours where they still say the same, stay as another client
/// wrote them. The stamps are renewed.
void updateTodo(icalcomponent* todo, const TodoContent& content, const QDateTime& modified);
/// What the to-do says.
TodoContent readTodo(icalcomponent* todo);

/// When the to-do last changed: LAST-MODIFIED, else DTSTAMP; invalid when it says neither.
QDateTime todoLastModified(icalcomponent* todo);
/// When the item last changed by its history: its newest entry, else its creation; invalid when
/// neither says.
QDateTime itemLastModified(const Dict& item);

/// Gives the item the mapped keys of `mapped`, removing those it lacks (a creation date and a uid
/// stay), and keeps every other key. The minder's stamps that the change makes stale go, as when
/// the user edits. Answers whether anything changed.
bool applyTodoItem(Dict& item, const Dict& mapped);

} // namespace tardigo
