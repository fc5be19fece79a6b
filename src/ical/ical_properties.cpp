#include "ical/ical_properties.h"

#include <vector>

namespace tardigo {

namespace {

bool hasXName(icalproperty* property, const char* xName) {
    const char* name = icalproperty_get_x_name(property);
    return name && qstricmp(name, xName) == 0;
}

} // namespace

icalproperty* firstXProperty(icalcomponent* component, const char* xName) {
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        if (hasXName(p, xName))
            return p;
    }
    return nullptr;
}

std::optional<QString> xPropertyText(icalcomponent* component, const char* xName) {
    icalproperty* property = firstXProperty(component, xName);
    if (!property)
        return std::nullopt;
    const icalvalue* value = icalproperty_get_value(property);
    return icalString(value ? icalvalue_get_x(value) : nullptr);
}

void addXProperty(icalcomponent* component, const char* xName, const QString& text) {
    if (text.isEmpty())
        return; // libical would write a line it refuses to read
    icalproperty* property = icalproperty_new_x(text.toUtf8().constData());
    icalproperty_set_x_name(property, xName);
    addProperty(component, property);
}

void removePropertiesWhere(icalcomponent* component, const std::function<bool(icalproperty*)>& matches) {
    // Collected first: removing while walking would move libical's one iterator under the walk.
    std::vector<icalproperty*> doomed;
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
        if (matches(p))
            doomed.push_back(p);
    }
    for (icalproperty* p : doomed) {
        icalcomponent_remove_property(component, p);
        icalproperty_free(p);
    }
}

void removeProperties(icalcomponent* component, icalproperty_kind kind) {
    removePropertiesWhere(component, [kind](icalproperty* p) { return icalproperty_isa(p) == kind; });
}

void removeXProperties(icalcomponent* component, const char* xName) {
    removePropertiesWhere(component, [xName](icalproperty* p) {
        return icalproperty_isa(p) == ICAL_X_PROPERTY && hasXName(p, xName);
    });
}

std::optional<QString> xParameterText(icalproperty* property, const char* xName) {
    for (icalparameter* p = icalproperty_get_first_parameter(property, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER)) {
        const char* name = icalparameter_get_xname(p);
        if (name && qstricmp(name, xName) == 0)
            return icalString(icalparameter_get_xvalue(p));
    }
    return std::nullopt;
}

} // namespace tardigo
