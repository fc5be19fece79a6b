// How much of the item is done: STATUS, PERCENT-COMPLETE and COMPLETED, with the exact fraction and
// a completion date of an unfinished item kept in extension properties. A cancelled to-do is done,
// and stays cancelled while it stays done.
#include "ical/ical_properties.h"
#include "ical/ical_time.h"
#include "ical/todo_field.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <cmath>

namespace tardigo {

namespace {

constexpr const char* kExactCompletion = "X-TARDIGO-COMPLETION";
constexpr const char* kDateCompletedUnfinished = "X-TARDIGO-DATE-COMPLETED";

/// The percentage other clients see: 100 only for a complete item, 0 only for one not begun, so
/// that the status they show agrees with ours.
int percentOf(double completion) {
    if (completion == 1.0)
        return 100;
    if (!(completion > 0.0))
        return 0;
    return std::clamp(int(std::lround(completion * 100.0)), 1, 99);
}

icalproperty_status statusOf(int percent) {
    return percent == 100 ? ICAL_STATUS_COMPLETED
           : percent == 0 ? ICAL_STATUS_NEEDSACTION
                          : ICAL_STATUS_INPROCESS;
}

void writeCompletion(const TodoContent& content, icalcomponent* todo) {
    const Dict& item = *content.item;
    const bool complete = isCompleted(item);
    if (const Number* completion = item.value(key::completion).asNumber()) {
        const double value = completion->toDouble();
        const int percent = percentOf(value);
        addProperty(todo, icalproperty_new_status(statusOf(percent)));
        addProperty(todo, icalproperty_new_percentcomplete(percent));
        if (value * 100.0 != double(percent))
            addXProperty(todo, kExactCompletion, QString::number(value, 'g', 17));
    }
    if (const QString* completed = item.value(key::dateCompleted).asString()) {
        icalproperty* property =
            complete ? storedDateProperty(icalproperty_new_completed, *completed) : nullptr;
        if (property)
            addProperty(todo, property);
        else
            addXProperty(todo, kDateCompletedUnfinished, *completed);
    }
}

/// The completion other clients meant, from the status they set, else the percentage, else the
/// completion date; nothing when the to-do says nothing of it.
std::optional<double> statedCompletion(icalcomponent* todo) {
    icalproperty* statusProperty = firstProperty(todo, ICAL_STATUS_PROPERTY);
    icalproperty* percentProperty = firstProperty(todo, ICAL_PERCENTCOMPLETE_PROPERTY);
    const icalproperty_status status =
        statusProperty ? icalproperty_get_status(statusProperty) : ICAL_STATUS_NONE;
    const std::optional<int> percent =
        percentProperty
            ? std::optional<int>(std::clamp(icalproperty_get_percentcomplete(percentProperty), 0, 100))
            : std::nullopt;
    if (status == ICAL_STATUS_COMPLETED || status == ICAL_STATUS_CANCELLED) // cancelled: nothing left to do
        return 1.0;
    if (status == ICAL_STATUS_NEEDSACTION) // a client that reopens an item may leave 100 % behind
        return percent && *percent < 100 ? *percent / 100.0 : 0.0;
    if (percent)
        return *percent / 100.0;
    if (firstProperty(todo, ICAL_COMPLETED_PROPERTY))
        return 1.0;
    if (statusProperty)
        return 0.0;
    return std::nullopt;
}

void readCompletion(icalcomponent* todo, TodoContent& content) {
    if (std::optional<double> completion = statedCompletion(todo)) {
        // The exact fraction we wrote stands as long as the percentage shown for it is unchanged.
        bool ok = false;
        const std::optional<QString> exactText = xPropertyText(todo, kExactCompletion);
        const double exact = exactText ? exactText->toDouble(&ok) : 0.0;
        if (ok && std::isfinite(exact) && percentOf(exact) == percentOf(*completion))
            completion = exact;
        content.item->set(key::completion, Value::float32(*completion));
    }
    if (icalproperty* completed = firstProperty(todo, ICAL_COMPLETED_PROPERTY)) {
        if (const std::optional<QString> text = propertyStoredDate(completed, todo))
            content.item->set(key::dateCompleted, *text);
    } else if (const std::optional<QString> text = xPropertyText(todo, kDateCompletedUnfinished)) {
        content.item->set(key::dateCompleted, *text);
    }
}

void removeCompletion(icalcomponent* todo) {
    for (icalproperty_kind kind :
         {ICAL_STATUS_PROPERTY, ICAL_PERCENTCOMPLETE_PROPERTY, ICAL_COMPLETED_PROPERTY})
        removeProperties(todo, kind);
    removeXProperties(todo, kExactCompletion);
    removeXProperties(todo, kDateCompletedUnfinished);
}

} // namespace

TodoField completionField() {
    return {writeCompletion, readCompletion, removeCompletion};
}

} // namespace tardigo
