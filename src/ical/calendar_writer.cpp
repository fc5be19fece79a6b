#include "ical/calendar_writer.h"

#include "ical/calendar_zone.h"
#include "ical/sibling_order.h"
#include "ical/todo_mapping.h"
#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <unordered_map>

namespace tardigo {

IcalComponentPtr newCalendar() {
    IcalComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Tardigo//Tardigo 2//EN"));
    return calendar;
}

IcalComponentPtr calendarHolding(IcalComponentPtr component) {
    IcalComponentPtr calendar = newCalendar();
    icalcomponent_add_component(calendar.get(), component.release());
    addZonesNamed(calendar.get());
    return calendar;
}

namespace {

/// The sort orders that give the parent's children their order in the list, for those whose
/// creation does not.
std::vector<std::optional<qint64>> sortOrdersOf(const Dict& parent) {
    std::vector<SiblingKey> siblings;
    if (const ArrayPtr children = childrenOf(parent)) {
        for (const Value& child : children->items) {
            const DictPtr item = child.asDict();
            siblings.push_back({item ? creationKey(*item) : std::nullopt, true});
        }
    }
    std::vector<std::optional<qint64>> orders = siblingKeys(siblings);
    for (size_t i = 0; i < orders.size(); ++i) {
        if (orders[i] == siblings[i].key)
            orders[i].reset(); // its creation says it
    }
    return orders;
}

} // namespace

QByteArray listCalendarText(const Dict& root) {
    // libical writes a calendar as its own lines around its components' texts. Each to-do is
    // written and freed in turn and its text set into the calendar's, so that a large list never
    // holds every to-do at once; every line is still libical's.
    const QByteArray frame = icalText(newCalendar().get());
    const qsizetype end = frame.lastIndexOf("END:VCALENDAR");
    QByteArray todos;
    std::unordered_map<const Dict*, std::vector<std::optional<qint64>>> sortOrders;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype index) {
        auto orders = sortOrders.find(&parent);
        if (orders == sortOrders.end())
            orders = sortOrders.emplace(&parent, sortOrdersOf(parent)).first;
        const QString* parentUid = parent.value(key::uid).asString();
        TodoContent content = todoContentOf(*item, parentUid ? *parentUid : QString());
        content.sortOrder = orders->second[size_t(index)];
        todos += icalText(newTodo(content, itemLastModified(*item)).get());
    });
    // The user's zone, once, where a due date names it.
    QByteArray zones;
    if (const std::optional<CalendarZone>& zone = CalendarZone::local();
        zone && todos.contains(";TZID=" + zone->id() + ":"))
        zones = icalText(zone->component().get());
    return frame.left(end) + zones + todos + frame.sliced(end);
}

} // namespace tardigo
