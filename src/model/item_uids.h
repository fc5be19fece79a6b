#pragma once

#include "model/value.h"

namespace tardigo {

// An item's "uid" is its identity in calendars and on other devices. Lists get uids only when they
// are first exported or synced, so a list that never leaves this machine keeps exactly its keys.

/// A new uid: a UUID as text.
QString newItemUid();
/// Gives a new uid to every item below root that has none, or whose uid an earlier item (in
/// pre-order) already holds, so that no two items of the list share one. Answers how many it gave.
qsizetype assignItemUids(Dict& root);
/// Removes "uid" from a copied item and everything below it: a copy is a new item wherever it lands.
void removeUids(Dict& copy);

} // namespace tardigo
