#pragma once

#include "document/status_display.h"
#include "model/value.h"

#include <QColor>
#include <QFont>
#include <QPalette>

#include <optional>

namespace tardigo {

/// The font of an item's font settings: the named font at its size, or the application's default
/// font when there is no name or no installed font of that name.
QFont qFontForItemFont(const ItemFont& font);
/// The font an item is drawn in; the default font without an item.
QFont itemFont(const Dict* item);
/// The colour an item's name is drawn in; none when it has no readable "color".
std::optional<QColor> itemColor(const Dict& item);

/// The light wash of the highlight colour over the column the list is sorted by.
QColor sortedColumnTint(const QPalette& palette);

} // namespace tardigo
