// The item's place in the tree: its parent by RELATED-TO, its place among its siblings by an order.
#include "ical/ical_properties.h"
#include "ical/todo_field.h"

namespace tardigo {

namespace {

constexpr const char* kOrder = "X-TARDIGO-ORDER";
// The sort order that other clients commonly write, read where ours is missing.
constexpr const char* kForeignOrder = "X-APPLE-SORT-ORDER";

bool namesParent(icalproperty* property) {
    if (icalproperty_isa(property) != ICAL_RELATEDTO_PROPERTY)
        return false;
    icalparameter* reltype = icalproperty_get_first_parameter(property, ICAL_RELTYPE_PARAMETER);
    return !reltype || icalparameter_get_reltype(reltype) == ICAL_RELTYPE_PARENT;
}

void writePlacement(const TodoContent& content, icalcomponent* todo) {
    if (!content.parentUid.isEmpty()) {
        icalproperty* related = icalproperty_new_relatedto(content.parentUid.toUtf8().constData());
        icalproperty_add_parameter(related, icalparameter_new_reltype(ICAL_RELTYPE_PARENT));
        addProperty(todo, related);
    }
    if (content.order)
        addXProperty(todo, kOrder, QString::number(*content.order));
}

std::optional<qint64> orderIn(icalcomponent* todo, const char* xName) {
    bool ok = false;
    const qint64 order = xPropertyText(todo, xName).value_or(QString()).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(order) : std::nullopt;
}

void readPlacement(icalcomponent* todo, TodoContent& content) {
    for (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_RELATEDTO_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_RELATEDTO_PROPERTY)) {
        if (namesParent(p)) {
            content.parentUid = icalString(icalproperty_get_relatedto(p));
            break;
        }
    }
    content.order = orderIn(todo, kOrder);
    if (!content.order)
        content.order = orderIn(todo, kForeignOrder);
}

void removePlacement(icalcomponent* todo) {
    removePropertiesWhere(todo, namesParent);
    removeXProperties(todo, kOrder);
}

} // namespace

TodoField placementField() {
    return {writePlacement, readPlacement, removePlacement};
}

} // namespace tardigo
