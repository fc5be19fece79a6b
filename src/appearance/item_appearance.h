#pragma once

#include "model/value.h"
#include "outline/status_display.h"

#include <QColor>
#include <QFont>
#include <QPalette>

#include <optional>

namespace tardigo {

/// The font of an item's font settings: the named font at its size, or the default font of items
/// when there is no name or no installed font of that name.
QFont qFontForItemFont(const ItemFont& font);
/// The font an item is drawn in; the default font without an item.
QFont itemFont(const Dict* item);
/// The default font of items: the user's choice, else the application's font.
QFont defaultItemFont();
/// The height of a row that shows text in the font.
int rowHeightForFont(const QFont& font);
/// The colour an item's name is drawn in; none when it has no readable "color".
std::optional<QColor> itemColor(const Dict& item);

/// The light wash of the highlight colour over the column the list is sorted by.
QColor sortedColumnTint(const QPalette& palette);

} // namespace tardigo
