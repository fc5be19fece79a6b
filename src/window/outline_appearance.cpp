#include "window/outline_appearance.h"

#include "appearance/icon_for_name.h"
#include "appearance/item_appearance.h"
#include "outline/outline_data_source.h"
#include "window/row_status_text.h"

#include <QIcon>

namespace tardigo {

QVariant OutlineAppearance::itemData(const NodePtr& item, Column column, int role) const {
    switch (role) {
    case Qt::DecorationRole: {
        if (column != Column::Icon)
            return {};
        const CellValue value = _source.cellValue(column, item);
        const Value* name = std::get_if<Value>(&value);
        const QString* text = name ? name->asString() : nullptr;
        return text ? QVariant(iconForName(*text)) : QVariant();
    }
    case Qt::FontRole:
        return itemFont(item.get());
    case Qt::ForegroundRole:
        if (column == Column::Name)
            if (const std::optional<QColor> color = itemColor(*item))
                return *color;
        return {};
    case Qt::AccessibleTextRole:
        // The icon says the status to the eye only; a screen reader reads the cell's text.
        return column == Column::Icon ? rowStatusText(*item) : QVariant();
    default:
        return {};
    }
}

QVariant OutlineAppearance::headerData(Column column, int role) const {
    if (role == Qt::AccessibleTextRole && column == Column::Icon)
        return tr("Status"); // the icon column has no title to read
    return {};
}

} // namespace tardigo
