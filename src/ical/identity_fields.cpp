// The to-do's identity and its texts: UID, SUMMARY and CATEGORIES.
#include "ical/ical_properties.h"
#include "ical/todo_field.h"
#include "model/keys.h"

#include <QStringList>

namespace tardigo {

namespace {

void writeUid(const TodoContent& content, icalcomponent* todo) {
    if (const QString* uid = content.item->value(key::uid).asString())
        addProperty(todo, icalproperty_new_uid(uid->toUtf8().constData()));
}

void readUid(icalcomponent* todo, TodoContent& content) {
    if (icalproperty* uid = firstProperty(todo, ICAL_UID_PROPERTY))
        content.item->set(key::uid, icalString(icalproperty_get_uid(uid)));
}

void removeUid(icalcomponent* todo) {
    removeProperties(todo, ICAL_UID_PROPERTY);
}

void writeSummary(const TodoContent& content, icalcomponent* todo) {
    // An empty name goes without SUMMARY, which reads as empty: libical refuses an empty value.
    const QString* name = content.item->value(key::name).asString();
    if (name && !name->isEmpty())
        addProperty(todo, icalproperty_new_summary(name->toUtf8().constData()));
}

void readSummary(icalcomponent* todo, TodoContent& content) {
    icalproperty* summary = firstProperty(todo, ICAL_SUMMARY_PROPERTY);
    content.item->set(key::name, summary ? icalString(icalproperty_get_summary(summary)) : QString());
}

void removeSummary(icalcomponent* todo) {
    removeProperties(todo, ICAL_SUMMARY_PROPERTY);
}

// A category is one free text. libical writes its commas as they are, so a reader sees them as
// separate categories; joining every category with a comma gives the text back.
void writeCategory(const TodoContent& content, icalcomponent* todo) {
    const QString* category = content.item->value(key::category).asString();
    if (category && !category->isEmpty())
        addProperty(todo, icalproperty_new_categories(category->toUtf8().constData()));
}

void readCategory(icalcomponent* todo, TodoContent& content) {
    QStringList categories;
    for (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_CATEGORIES_PROPERTY))
        categories.append(icalString(icalproperty_get_categories(p)));
    if (!categories.isEmpty())
        content.item->set(key::category, categories.join(u','));
}

void removeCategory(icalcomponent* todo) {
    removeProperties(todo, ICAL_CATEGORIES_PROPERTY);
}

} // namespace

TodoField uidField() {
    return {writeUid, readUid, removeUid};
}
TodoField summaryField() {
    return {writeSummary, readSummary, removeSummary};
}
TodoField categoryField() {
    return {writeCategory, readCategory, removeCategory};
}

} // namespace tardigo
