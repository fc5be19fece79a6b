#pragma once

#include "model/tree_operations.h"

#include <QString>

class QKeySequence;

namespace tardigo {

/// What the outline says when it shows no row: how to add the first item to an empty list, that
/// the search matches nothing, or how to show again the completed items that are all hidden, with
/// the keys of those commands.
QString emptyListHint(const ItemCounts& counts, const QString& search, const QKeySequence& newItem,
                      const QKeySequence& showCompleted);

/// What a view says when a search matches none of its items.
QString searchMatchesNothingHint(const QString& search);

} // namespace tardigo
