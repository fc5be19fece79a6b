#pragma once

#include "model/value.h"

namespace tardigo {

class SearchFilter;

/// The children of item (of the root when item is null) that the root's filter and the search (if
/// any) let through, in stored order: the stored array itself when no filter is on, else a new array.
ArrayPtr visibleChildren(const Dict& root, const Dict* item, const SearchFilter* search);

/// The root's filter key is "completion": completed items are about to disappear from view.
bool filtersByCompletion(const Dict& root);
/// The hide-completed switch is on: the filter hides exactly the items whose completion is 1.
bool hidesCompletedItems(const Dict& root);

} // namespace tardigo
