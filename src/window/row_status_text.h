#pragma once

#include "model/value.h"

namespace tardigo {

/// What a screen reader says of a row in the outline's icon column: the item's status in words,
/// for every item, whatever icon it shows ("Not done, 0 % complete, overdue, has notes"). An item
/// not done is due soon when it falls due today or tomorrow, as the agenda counts the days.
QString rowStatusText(const Dict& item);

} // namespace tardigo
