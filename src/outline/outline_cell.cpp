#include "outline/outline_cell.h"

#include "model/keys.h"
#include "model/stored_date.h"
#include "outline/icon_rules.h"
#include "rich_text/notes_text.h"

namespace tardigo {

namespace {

CellValue iconCell(const std::optional<QString>& name) {
    return name ? CellValue(Value(*name)) : CellValue();
}

} // namespace

CellValue outlineCellValue(Column column, const Dict* item, const Dict* currentReminderItem) {
    if (!item)
        return {};
    if (column == Column::Notes) {
        const QByteArray* notes = item->value(key::notes).asData();
        if (!notes || notes->isEmpty())
            return {};
        std::optional<RichText> text = decodeNotes(*notes);
        return text ? CellValue(std::move(*text)) : CellValue();
    }
    if (column == Column::Due) {
        const std::optional<QDateTime> due = parseStoredDate(item->value(key::due));
        return due ? CellValue(*due) : CellValue();
    }
    if (column == Column::Icon) {
        const IconRules rules = IconRules::current();
        // No icon is assigned to a reminder in progress unless the user chose one: the item then
        // keeps its own, rather than showing none while its reminder is up.
        if (item == currentReminderItem)
            if (const std::optional<QString> name = rules.iconNameForItemStatus(IconStatusReminderInProgress);
                name && IconRules::hasImage(*name))
                return iconCell(name);
        return iconCell(rules.iconNameForItem(item));
    }
    const Value& value = item->value(columnIdentifier(column));
    return value.isNil() ? CellValue() : CellValue(value);
}

} // namespace tardigo
