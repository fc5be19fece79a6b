#pragma once

#include "model/tree_operations.h"

#include <QString>

class QKeySequence;
class QPainter;
class QWidget;

namespace tardigo {

/// What the outline says when it shows no row: how to add the first item to an empty list, that
/// the search matches nothing, or how to show again the completed items that are all hidden, with
/// the keys of those commands.
QString emptyListHint(const ItemCounts& counts, const QString& search, const QKeySequence& newItem,
                      const QKeySequence& showCompleted);

/// Draws the hint centred in the widget, in a quieter colour than the items, wrapped to a
/// comfortable width.
void paintEmptyListHint(QPainter& painter, const QWidget& widget, const QString& hint);

} // namespace tardigo
