// The item's own times: CREATED and DUE.
#include "ical/ical_properties.h"
#include "ical/ical_time.h"
#include "ical/todo_field.h"
#include "model/keys.h"

namespace tardigo {

namespace {

void writeTime(const TodoContent& content, icalcomponent* todo, const QString& key,
               icalproperty* (*make)(icaltimetype)) {
    if (const QString* text = content.item->value(key).asString()) {
        if (icalproperty* property = storedDateProperty(make, *text))
            addProperty(todo, property);
    }
}

void readTime(icalcomponent* todo, TodoContent& content, const QString& key, icalproperty_kind kind) {
    if (icalproperty* property = firstProperty(todo, kind)) {
        if (const std::optional<QString> text = propertyStoredDate(property, todo))
            content.item->set(key, *text);
    }
}

void writeCreated(const TodoContent& content, icalcomponent* todo) {
    writeTime(content, todo, key::dateCreated, icalproperty_new_created);
}
void readCreated(icalcomponent* todo, TodoContent& content) {
    readTime(todo, content, key::dateCreated, ICAL_CREATED_PROPERTY);
}
void removeCreated(icalcomponent* todo) {
    removeProperties(todo, ICAL_CREATED_PROPERTY);
}

void writeDue(const TodoContent& content, icalcomponent* todo) {
    writeTime(content, todo, key::due, icalproperty_new_due);
}
void readDue(icalcomponent* todo, TodoContent& content) {
    readTime(todo, content, key::due, ICAL_DUE_PROPERTY);
}
void removeDue(icalcomponent* todo) {
    removeProperties(todo, ICAL_DUE_PROPERTY);
}

} // namespace

TodoField createdField() {
    return {writeCreated, readCreated, removeCreated};
}
TodoField dueField() {
    return {writeDue, readDue, removeDue};
}

} // namespace tardigo
