// The item's place in the tree: its parent by RELATED-TO on the child (as we write it) or on the
// parent (RELTYPE=CHILD, as some clients write it), and its place among its siblings by the sort
// order that clients share.
#include "ical/ical_properties.h"
#include "ical/todo_field.h"

#include <algorithm>

namespace tardigo {

namespace {

constexpr const char* kSortOrder = "X-APPLE-SORT-ORDER";
// The order earlier versions wrote: read where the shared one is missing, never written.
constexpr const char* kOldOrder = "X-TARDIGO-ORDER";
// Beyond any real sort order (some 30 million years): a larger one is taken as this.
constexpr qint64 kFarthestOrder = qint64(1) << 50;

std::optional<icalparameter_reltype> relationOf(icalproperty* property) {
    if (icalproperty_isa(property) != ICAL_RELATEDTO_PROPERTY)
        return std::nullopt;
    icalparameter* reltype = icalproperty_get_first_parameter(property, ICAL_RELTYPE_PARAMETER);
    return reltype ? icalparameter_get_reltype(reltype) : ICAL_RELTYPE_PARENT;
}

bool namesParent(icalproperty* property) {
    return relationOf(property) == ICAL_RELTYPE_PARENT;
}

bool namesChild(icalproperty* property) {
    return relationOf(property) == ICAL_RELTYPE_CHILD;
}

QString relatedUid(icalproperty* property) {
    return icalString(icalproperty_get_relatedto(property));
}

void addRelation(icalcomponent* todo, const QString& uid, icalparameter_reltype type) {
    icalproperty* related = icalproperty_new_relatedto(uid.toUtf8().constData());
    icalproperty_add_parameter(related, icalparameter_new_reltype(type));
    addProperty(todo, related);
}

void writeParent(const TodoContent& content, icalcomponent* todo) {
    if (!content.parentUid.isEmpty())
        addRelation(todo, content.parentUid, ICAL_RELTYPE_PARENT);
}

void writeOrder(const TodoContent& content, icalcomponent* todo) {
    if (content.sortOrder)
        addXProperty(todo, kSortOrder, QString::number(*content.sortOrder));
}

void writePlacement(const TodoContent& content, icalcomponent* todo) {
    writeParent(content, todo);
    for (const QString& child : content.childUids)
        addRelation(todo, child, ICAL_RELTYPE_CHILD);
    writeOrder(content, todo);
}

std::optional<qint64> orderIn(icalcomponent* todo, const char* xName) {
    bool ok = false;
    const qint64 order = xPropertyText(todo, xName).value_or(QString()).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(std::clamp(order, -kFarthestOrder, kFarthestOrder)) : std::nullopt;
}

void readPlacement(icalcomponent* todo, TodoContent& content) {
    for (icalproperty* p = icalcomponent_get_first_property(todo, ICAL_RELATEDTO_PROPERTY); p;
         p = icalcomponent_get_next_property(todo, ICAL_RELATEDTO_PROPERTY)) {
        if (namesParent(p) && content.parentUid.isEmpty())
            content.parentUid = relatedUid(p);
        else if (namesChild(p) && !content.childUids.contains(relatedUid(p)))
            content.childUids.append(relatedUid(p));
    }
    content.sortOrder = orderIn(todo, kSortOrder);
    if (!content.sortOrder)
        content.sortOrder = orderIn(todo, kOldOrder);
}

void removeOrder(icalcomponent* todo) {
    removeXProperties(todo, kSortOrder);
    removeXProperties(todo, kOldOrder);
}

void removePlacement(icalcomponent* todo) {
    removePropertiesWhere(todo, [](icalproperty* p) { return namesParent(p) || namesChild(p); });
    removeOrder(todo);
}

/// Changes only the relations and the order that changed: a relation that still holds keeps the form
/// its writer gave it, and the other kinds of relation stay.
void updatePlacement(const TodoContent& before, const TodoContent& after, icalcomponent* todo) {
    if (before.parentUid != after.parentUid) {
        removePropertiesWhere(todo, namesParent);
        writeParent(after, todo);
    }
    if (before.childUids != after.childUids) {
        removePropertiesWhere(
            todo, [&](icalproperty* p) { return namesChild(p) && !after.childUids.contains(relatedUid(p)); });
        for (const QString& child : after.childUids) {
            if (!before.childUids.contains(child))
                addRelation(todo, child, ICAL_RELTYPE_CHILD);
        }
    }
    if (before.sortOrder != after.sortOrder) {
        removeOrder(todo);
        writeOrder(after, todo);
    }
}

} // namespace

TodoField placementField() {
    return {writePlacement, readPlacement, removePlacement, updatePlacement};
}

} // namespace tardigo
