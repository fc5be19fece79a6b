#pragma once

#include "model/value.h"

namespace tardigo {

/// Fills a new, empty node with the creation defaults and logs "item created", its texts in the
/// user's language.
void initNewItem(Dict& node);
/// A new node made with initNewItem.
NodePtr newToDoItem();

} // namespace tardigo
