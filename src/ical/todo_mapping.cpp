#include "ical/todo_mapping.h"

#include "ical/ical_properties.h"
#include "ical/ical_time.h"
#include "ical/todo_field.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/new_item.h"

#include <cmath>

namespace tardigo {

namespace {

/// Every group, in the order their properties are written. The due date comes before the repeat,
/// whose rule is read against it.
const std::vector<TodoField>& todoFields() {
    static const std::vector<TodoField> fields{uidField(),      summaryField(),    categoryField(),
                                               createdField(),  dueField(),        completionField(),
                                               notesField(),    placementField(),  repeatField(),
                                               reminderField(), appearanceField(), colorField()};
    return fields;
}

const QStringList kReminderKeys{key::reminderSet,         key::reminderTimeLength, key::reminderTimeUnit,
                                key::reminderMarkDueDate, key::reminderMarkNow,    key::reminderRepeat,
                                key::reminderMark};

void stamp(icalcomponent* todo, const QDateTime& modified) {
    // A history time libical cannot write (past the year 3000) stamps as a change found now.
    const std::optional<icaltimetype> written = modified.isValid() ? icalUtcTime(modified) : std::nullopt;
    const icaltimetype at = written ? *written : *icalUtcTime(Clock::now());
    removeProperties(todo, ICAL_LASTMODIFIED_PROPERTY);
    removeProperties(todo, ICAL_DTSTAMP_PROPERTY);
    addProperty(todo, icalproperty_new_dtstamp(at));
    addProperty(todo, icalproperty_new_lastmodified(at));
}

/// What a group of properties says for the content, in the form we write it.
QByteArray writtenForm(const TodoField& field, const TodoContent& content) {
    const IcalComponentPtr todo(icalcomponent_new_vtodo());
    field.write(content, todo.get());
    return icalText(todo.get());
}

} // namespace

const QStringList& todoMappedKeys() {
    static const QStringList keys = QStringList{key::uid,
                                                key::name,
                                                key::category,
                                                key::dateCreated,
                                                key::due,
                                                key::completion,
                                                key::dateCompleted,
                                                key::notes,
                                                key::dateDueRepeatPeriod,
                                                key::importedRepeatRule,
                                                key::icon,
                                                key::thisIconOnly,
                                                key::fontName,
                                                key::fontSize,
                                                key::color} +
                                    kReminderKeys;
    return keys;
}

std::optional<qint64> creationKey(const Dict& item) {
    const std::optional<QDateTime> created = parseStoredDate(item.value(key::dateCreated));
    return created ? std::optional(qint64(std::floor(referenceSecondsFromDateTime(*created)))) : std::nullopt;
}

std::optional<qint64> TodoContent::sortKey() const {
    return sortOrder ? sortOrder : creationKey(*item);
}

const QStringList& todoContentKeys() {
    static const QStringList keys = [] {
        QStringList mapped = todoMappedKeys();
        mapped.removeAll(key::dateCreated);
        return mapped;
    }();
    return keys;
}

TodoContent todoContentOf(const Dict& item, const QString& parentUid) {
    TodoContent content;
    for (const QString& key : todoMappedKeys()) {
        if (const Value* value = item.find(key))
            content.item->set(key, *value);
    }
    content.parentUid = parentUid;
    return content;
}

IcalComponentPtr newTodo(const TodoContent& content, const QDateTime& modified) {
    IcalComponentPtr todo(icalcomponent_new_vtodo());
    for (const TodoField& field : todoFields())
        field.write(content, todo.get());
    stamp(todo.get(), modified);
    return todo;
}

void updateTodo(icalcomponent* todo, const TodoContent& before, const TodoContent& after,
                const QDateTime& modified) {
    TodoContent written = after;
    written.form = before.form; // said as the to-do says it
    for (const TodoField& field : todoFields()) {
        if (writtenForm(field, before) == writtenForm(field, written))
            continue;
        if (field.update) {
            field.update(before, written, todo);
        } else {
            field.remove(todo);
            field.write(written, todo);
        }
    }
    stamp(todo, modified);
    icalproperty* sequence = firstProperty(todo, ICAL_SEQUENCE_PROPERTY);
    const int next = sequence ? std::max(icalproperty_get_sequence(sequence), 0) + 1 : 1;
    removeProperties(todo, ICAL_SEQUENCE_PROPERTY);
    addProperty(todo, icalproperty_new_sequence(next));
}

void updateTodo(icalcomponent* todo, const TodoContent& after, const QDateTime& modified) {
    updateTodo(todo, readTodo(todo), after, modified);
}

TodoContent readTodo(icalcomponent* todo) {
    TodoContent content;
    for (const TodoField& field : todoFields())
        field.read(todo, content);
    return content;
}

QDateTime todoLastModified(icalcomponent* todo) {
    for (icalproperty_kind kind : {ICAL_LASTMODIFIED_PROPERTY, ICAL_DTSTAMP_PROPERTY}) {
        if (icalproperty* property = firstProperty(todo, kind)) {
            if (const std::optional<QDateTime> at = propertyInstant(property, todo))
                return *at;
        }
    }
    return {};
}

QDateTime itemLastModified(const Dict& item) {
    // History is appended as it happens, so the last entry is the newest.
    if (const ArrayPtr history = item.value(key::history).asArray(); history && !history->items.empty()) {
        const Value& last = history->items.back();
        const HistoryEntry* entry = last.asHistoryEntry();
        const DictPtr dict = entry ? nullptr : last.asDict();
        const std::optional<QDateTime> at = entry  ? parseStoredDate(entry->timestamp())
                                            : dict ? parseStoredDate(dict->value(key::timestamp))
                                                   : std::nullopt;
        if (at)
            return *at;
    }
    return parseStoredDate(item.value(key::dateCreated)).value_or(QDateTime());
}

bool applyTodo(Dict& item, const TodoContent& content) {
    const bool changed = applyTodoItem(item, *content.item);
    if (content.reminderAcknowledged) {
        const double acknowledged = referenceSecondsFromDateTime(*content.reminderAcknowledged);
        const Date* given = item.value(key::minderTimestampReminder).asDate();
        if (!given || given->seconds < acknowledged)
            item.set(key::minderTimestampReminder, Date{acknowledged});
    }
    return changed;
}

NodePtr itemFromTodo(const TodoContent& content, const QDateTime& stamped) {
    NodePtr item = newToDoItem();
    applyTodo(*item, content);
    if (!content.item->contains(key::dateCreated) && stamped.isValid())
        item->set(key::dateCreated, storedDateString(stamped.toLocalTime()));
    return item;
}

bool applyTodoItem(Dict& item, const Dict& mapped) {
    bool changed = false, dueChanged = false, reminderChanged = false;
    for (const QString& key : todoMappedKeys()) {
        const Value* now = mapped.find(key);
        const Value* was = item.find(key);
        if (!now && (key == key::dateCreated || key == key::uid))
            continue;
        if (now && was && *now == *was)
            continue;
        if (!now && !was)
            continue;
        if (now)
            item.set(key, *now);
        else
            item.remove(key);
        changed = true;
        dueChanged = dueChanged || key == key::due;
        reminderChanged = reminderChanged || kReminderKeys.contains(key);
    }
    if (dueChanged)
        item.remove(key::minderTimestampTodo);
    if (reminderChanged || (dueChanged && flagOf(item, key::reminderMarkDueDate)))
        item.remove(key::minderTimestampReminder);
    return changed;
}

} // namespace tardigo
