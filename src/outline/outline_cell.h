#pragma once

#include "outline/outline_columns.h"
#include "outline/outline_data_source.h"

namespace tardigo {

/// What the column shows for the item: the rich text of non-empty notes, the parsed due date, the
/// name of the icon (the status-3 icon for the item being reminded of), else the value as stored.
CellValue outlineCellValue(Column column, const Dict* item, const Dict* currentReminderItem);

} // namespace tardigo
