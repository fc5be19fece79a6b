#include "archive/legacy_import.h"

#include "archive/archive_codec.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/new_item.h"

#include <QCoreApplication>

namespace tardigo {

namespace {

void setStoredDate(Dict& node, const QString& key, const std::optional<CalendarDate>& date) {
    if (date)
        node.set(key, storedDateString(dateTimeFromCalendarDate(*date)));
}

/// A new item with the 1.x fields, its dates in their own zones.
NodePtr nodeFromToDoItem(const ToDoItem& item) {
    NodePtr node = newToDoItem();
    node->set(key::name, item.name.value_or(QStringLiteral("<no name>")));
    setStoredDate(*node, key::dateCreated, item.dateCreated);
    setStoredDate(*node, key::dateCompleted, item.dateCompleted);
    setStoredDate(*node, key::due, item.dateDue);
    if (item.notes)
        node->set(key::notes, *item.notes);
    if (item.color)
        node->set(key::color, Value::data(encodeArchive(*item.color)));
    node->set(key::completion, Value::float32(item.completedPercentAsFloat() / 100.0));
    node->set(key::dateDueRepeatPeriod, Value::integer(item.periodicStatus));
    appendToLog(*node, QCoreApplication::translate("LegacyImport", "imported from 1.x doc"));
    return node;
}

} // namespace

bool importTardigo1xDocument(const TardigoDocumentEnvelope& envelope, Dict& root) {
    ArrayPtr children = root.value(key::children).asArray();
    if (!children) {
        children = Array::create();
        root.set(key::children, children);
    }
    for (const std::shared_ptr<const ToDoItem>& item : envelope.content) {
        if (!item)
            return false;
        children->items.push_back(nodeFromToDoItem(*item));
    }
    return true;
}

} // namespace tardigo
