// The item's own times: CREATED and DUE, each kept as its stored text in an extension property
// where iCalendar cannot hold it (libical writes no year past 3000).
#include "ical/ical_properties.h"
#include "ical/ical_time.h"
#include "ical/todo_field.h"
#include "model/keys.h"

namespace tardigo {

namespace {

constexpr const char* kCreatedText = "X-TARDIGO-CREATED";
constexpr const char* kDueText = "X-TARDIGO-DUE";

void writeTime(const TodoContent& content, icalcomponent* todo, const QString& key,
               icalproperty* (*make)(icaltimetype), const char* textName) {
    if (const QString* text = content.item->value(key).asString()) {
        if (icalproperty* property = storedDateProperty(make, *text))
            addProperty(todo, property);
        else
            addXProperty(todo, textName, *text);
    }
}

void readTime(icalcomponent* todo, TodoContent& content, const QString& key, icalproperty_kind kind,
              const char* textName) {
    if (icalproperty* property = firstProperty(todo, kind)) {
        if (const std::optional<QString> text = propertyStoredDate(property, todo))
            content.item->set(key, *text);
    } else if (const std::optional<QString> text = xPropertyText(todo, textName)) {
        content.item->set(key, *text);
    }
}

void writeCreated(const TodoContent& content, icalcomponent* todo) {
    writeTime(content, todo, key::dateCreated, icalproperty_new_created, kCreatedText);
}
void readCreated(icalcomponent* todo, TodoContent& content) {
    readTime(todo, content, key::dateCreated, ICAL_CREATED_PROPERTY, kCreatedText);
}
void removeCreated(icalcomponent* todo) {
    removeProperties(todo, ICAL_CREATED_PROPERTY);
    removeXProperties(todo, kCreatedText);
}

void writeDue(const TodoContent& content, icalcomponent* todo) {
    writeTime(content, todo, key::due, icalproperty_new_due, kDueText);
}
void readDue(icalcomponent* todo, TodoContent& content) {
    readTime(todo, content, key::due, ICAL_DUE_PROPERTY, kDueText);
}
void removeDue(icalcomponent* todo) {
    removeProperties(todo, ICAL_DUE_PROPERTY);
    removeXProperties(todo, kDueText);
}

} // namespace

TodoField createdField() {
    return {writeCreated, readCreated, removeCreated};
}
TodoField dueField() {
    return {writeDue, readDue, removeDue};
}

} // namespace tardigo
