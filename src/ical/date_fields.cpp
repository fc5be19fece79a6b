// The item's own times: CREATED and DUE, each kept as its stored text in an extension property
// where iCalendar cannot hold it (libical writes no year past 3000); and the DTSTART that anchors a
// repeating item's rule at its due date.
#include "ical/ical_properties.h"
#include "ical/ical_time.h"
#include "ical/todo_field.h"
#include "model/keys.h"
#include "model/stored_date.h"

namespace tardigo {

namespace {

constexpr const char* kCreatedText = "X-TARDIGO-CREATED";
constexpr const char* kDueText = "X-TARDIGO-DUE";

void writeCreated(const TodoContent& content, icalcomponent* todo) {
    if (const QString* text = content.item->value(key::dateCreated).asString()) {
        if (icalproperty* property = storedDateProperty(icalproperty_new_created, *text))
            addProperty(todo, property);
        else
            addXProperty(todo, kCreatedText, *text);
    }
}

void readCreated(icalcomponent* todo, TodoContent& content) {
    if (icalproperty* property = firstProperty(todo, ICAL_CREATED_PROPERTY)) {
        if (const std::optional<QString> text = propertyStoredDate(property, todo))
            content.item->set(key::dateCreated, *text);
    } else if (const std::optional<QString> text = xPropertyText(todo, kCreatedText)) {
        content.item->set(key::dateCreated, *text);
    }
}

void removeCreated(icalcomponent* todo) {
    removeProperties(todo, ICAL_CREATED_PROPERTY);
    removeXProperties(todo, kCreatedText);
}

/// A to-do's creation is its writer's: it stays as it came, and one that says none gets none.
void keepCreated(const TodoContent&, const TodoContent&, icalcomponent*) {}

/// Whether the item's rule is anchored at its due date: it repeats, by a period or a rule kept.
bool repeats(const Dict& item) {
    const Number* period = item.value(key::dateDueRepeatPeriod).asNumber();
    return (period && period->toInt64() != 0) || item.contains(key::importedRepeatRule);
}

void writeDue(const TodoContent& content, icalcomponent* todo) {
    const QString* text = content.item->value(key::due).asString();
    if (!text)
        return;
    icalproperty* due = dueDateProperty(icalproperty_new_due, *text, content.form.dueIsDay);
    if (!due) {
        addXProperty(todo, kDueText, *text);
        return;
    }
    addProperty(todo, due);
    // The rule's first time is the due date, in its zone, so that its local time holds across
    // changes of daylight-saving time wherever it is read.
    if (!content.form.ownStart && repeats(*content.item))
        addProperty(todo, dueDateProperty(icalproperty_new_dtstart, *text, content.form.dueIsDay));
}

void readDue(icalcomponent* todo, TodoContent& content) {
    if (icalproperty* property = firstProperty(todo, ICAL_DUE_PROPERTY)) {
        const icaltimetype due = icalproperty_get_due(property);
        if (icaltime_is_date(due) && !icaltime_is_null_time(due)) {
            // A day without a time is due at its end, as the list's own are.
            const QDate day(due.year, due.month, due.day);
            if (day.isValid()) {
                content.item->set(key::due, storedDateString(QDateTime(day, QTime(23, 59), Qt::LocalTime)));
                content.form.dueIsDay = true;
            }
        } else if (const std::optional<QString> text = propertyStoredDate(property, todo)) {
            content.item->set(key::due, *text);
        }
    } else if (const std::optional<QString> text = xPropertyText(todo, kDueText)) {
        content.item->set(key::due, *text);
    }
    if (firstProperty(todo, ICAL_DTSTART_PROPERTY)) {
        const std::optional<QDateTime> start = instantOf(todo, ICAL_DTSTART_PROPERTY);
        content.form.ownStart = !start || start != instantOf(todo, ICAL_DUE_PROPERTY);
    }
}

void removeDue(icalcomponent* todo) {
    removeProperties(todo, ICAL_DUE_PROPERTY);
    removeXProperties(todo, kDueText);
}

void updateDue(const TodoContent& before, const TodoContent& after, icalcomponent* todo) {
    removeDue(todo);
    if (!before.form.ownStart)
        removeProperties(todo, ICAL_DTSTART_PROPERTY);
    writeDue(after, todo);
}

} // namespace

TodoField createdField() {
    return {writeCreated, readCreated, removeCreated, keepCreated};
}
TodoField dueField() {
    return {writeDue, readDue, removeDue, updateDue};
}

} // namespace tardigo
