#include "ical/calendar_writer.h"

#include "ical/todo_mapping.h"
#include "model/item_walk.h"
#include "model/keys.h"

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
    return calendar;
}

QByteArray listCalendarText(const Dict& root) {
    // libical writes a calendar as its own lines around its components' texts. Each to-do is
    // written and freed in turn and its text set into the calendar's, so that a large list never
    // holds every to-do at once; every line is still libical's.
    const QByteArray frame = icalText(newCalendar().get());
    const qsizetype end = frame.lastIndexOf("END:VCALENDAR");
    QByteArray text = frame.left(end);
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype index) {
        const QString* parentUid = parent.value(key::uid).asString();
        const TodoContent content = todoContentOf(*item, parentUid ? *parentUid : QString(), index);
        text += icalText(newTodo(content, itemLastModified(*item)).get());
    });
    return text + frame.sliced(end);
}

} // namespace tardigo
