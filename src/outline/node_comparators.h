#pragma once

#include "model/tree_operations.h"
#include "outline/outline_columns.h"

namespace tardigo {

// The orders of the outline's columns: -1 when a sorts before b, 0 the same, 1 after. Items without
// a value sort after all items with one.

int compareNames(const Dict& a, const Dict& b);
int compareCategories(const Dict& a, const Dict& b);
/// Earlier first; a "due" that is absent, empty or not a stored date counts as missing.
int compareDueDates(const Dict& a, const Dict& b);
/// Lower first; an absent or non-numeric "completion" counts as 0.
int compareCompletions(const Dict& a, const Dict& b);
/// By the notes' plain text; notes without text sort after notes with text, before absent notes.
int compareNotes(const Dict& a, const Dict& b);
/// The new-item icon first, the check mark last, other icon names between (no icon as the empty name).
int compareIcons(const Dict& a, const Dict& b);

/// Sorts "children" at every level by the column, children before parents, in the order of the
/// column's compare function above, children that are not nodes last; direction -1 sorts by the
/// reversed order, ties keeping their order. Each level keeps its array. Each item's key is worked out once,
/// so that large lists sort fast.
void sortChildrenByColumn(Dict& root, Column column, int direction);

} // namespace tardigo
