// The repeat period: a recurrence rule where one expresses it, else our own property. A rule that
// no period expresses is kept as it came, and written back beside the item.
#include "ical/ical_handle.h"
#include "ical/ical_properties.h"
#include "ical/repeat_rule.h"
#include "ical/todo_field.h"
#include "model/keys.h"
#include "model/stored_date.h"

namespace tardigo {

namespace {

constexpr const char* kPeriod = "X-TARDIGO-PERIOD";
constexpr const char* kKeptRule = "X-TARDIGO-RRULE";

void writeRepeat(const TodoContent& content, icalcomponent* todo) {
    const Dict& item = *content.item;
    if (const Number* period = item.value(key::dateDueRepeatPeriod).asNumber()) {
        if (const auto rule = recurrenceForPeriod(period->toInt64(), parseStoredDate(item.value(key::due))))
            addProperty(todo, icalproperty_new_rrule(*rule));
        else
            addXProperty(todo, kPeriod, QString::number(period->toInt64()));
    }
    if (const QString* kept = item.value(key::importedRepeatRule).asString())
        addXProperty(todo, kKeptRule, *kept);
}

void readRepeat(icalcomponent* todo, TodoContent& content) {
    Dict& item = *content.item;
    if (icalproperty* rrule = firstProperty(todo, ICAL_RRULE_PROPERTY)) {
        // A rule another client set wins over the period we wrote beside it. A cancelled to-do's
        // rule is kept without repeating here: coming round again would undo the cancelling.
        const auto period =
            isCancelledTodo(todo)
                ? std::nullopt
                : periodForRecurrence(icalproperty_get_rrule(rrule), parseStoredDate(item.value(key::due)));
        if (period)
            item.set(key::dateDueRepeatPeriod, Value::integer(*period));
        else
            item.set(key::importedRepeatRule,
                     QString::fromUtf8(takeIcalText(icalproperty_get_value_as_string_r(rrule))));
    } else {
        bool ok = false;
        const qint64 period = xPropertyText(todo, kPeriod).value_or(QString()).toLongLong(&ok);
        if (ok)
            item.set(key::dateDueRepeatPeriod, Value::integer(period));
    }
    if (const std::optional<QString> kept = xPropertyText(todo, kKeptRule);
        kept && !item.contains(key::importedRepeatRule))
        item.set(key::importedRepeatRule, *kept);
}

void removeRepeat(icalcomponent* todo) {
    removeProperties(todo, ICAL_RRULE_PROPERTY);
    removeXProperties(todo, kPeriod);
    removeXProperties(todo, kKeptRule);
}

} // namespace

TodoField repeatField() {
    return {writeRepeat, readRepeat, removeRepeat};
}

} // namespace tardigo
