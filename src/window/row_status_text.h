#pragma once

#include "model/value.h"

namespace tardigo {

/// What a screen reader says of a row in the outline's icon column: the item's status in words,
/// for every item, whatever icon it shows ("Not done, 0 % complete, overdue, has notes").
QString rowStatusText(const Dict& item);

} // namespace tardigo
