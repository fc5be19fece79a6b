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
/// Those that tell whether an item and its to-do say the same: all but the creation date, which
/// never changes and which a to-do may not give.
const QStringList& todoContentKeys();
/// Where an item without a sort order stands among its siblings: its creation, in seconds since
/// 2001-01-01; none without one.
std::optional<qint64> creationKey(const Dict& item);
/// The content of a list item: its mapped keys and its parent.
TodoContent todoContentOf(const Dict& item, const QString& parentUid);

/// A new VTODO for the content, stamped as changed at `modified` (now when invalid).
IcalComponentPtr newTodo(const TodoContent& content, const QDateTime& modified);
/// Brings the to-do, which says `before`, to say `after` in the form it has. Only groups of
/// properties whose meaning differs are rewritten: every property we do not write, and ours where
/// they still say the same, stay as another client wrote them. The stamps are renewed and its
/// SEQUENCE counts the change.
void updateTodo(icalcomponent* todo, const TodoContent& before, const TodoContent& after,
                const QDateTime& modified);
/// The same, for a to-do that says what readTodo() reads.
void updateTodo(icalcomponent* todo, const TodoContent& after, const QDateTime& modified);
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
/// The same with a to-do's content; a reminder acknowledged elsewhere counts as given here.
bool applyTodo(Dict& item, const TodoContent& content);
/// A new item for a to-do: what it says, created when it says it was, else when it was last stamped
/// (`stamped`), so that every list that takes it gives it the same creation, else now.
NodePtr itemFromTodo(const TodoContent& content, const QDateTime& stamped);

} // namespace tardigo
