#pragma once

#include <libical/ical.h>

#include <QString>

#include <functional>
#include <optional>

namespace tardigo {

// Small helpers over libical's properties, in Qt's types.

/// libical's UTF-8 text as a string; a null pointer is empty. libical drops the carriage return,
/// the form feed and the backspace when it writes a text (iCalendar texts hold no such controls),
/// and white space at either end of a value when it reads one; both go here too, so that what is
/// read is what would be read again after writing it.
inline QString icalString(const char* text) {
    return QString::fromUtf8(text).remove(u'\r').remove(u'\f').remove(u'\b').trimmed();
}

/// The first property of the kind, or null.
inline icalproperty* firstProperty(icalcomponent* component, icalproperty_kind kind) {
    return icalcomponent_get_first_property(component, kind);
}
/// The first property named xName (an extension property, "X-…"), or null.
icalproperty* firstXProperty(icalcomponent* component, const char* xName);
/// The text of the first property named xName; nothing when there is none.
std::optional<QString> xPropertyText(icalcomponent* component, const char* xName);
/// Adds the extension property xName holding text, unless the text is empty.
void addXProperty(icalcomponent* component, const char* xName, const QString& text);

/// Removes and frees every property for which `matches` holds.
void removePropertiesWhere(icalcomponent* component, const std::function<bool(icalproperty*)>& matches);
/// Removes and frees every property of the kind.
void removeProperties(icalcomponent* component, icalproperty_kind kind);
/// Removes and frees every extension property named xName.
void removeXProperties(icalcomponent* component, const char* xName);

/// Adds the property, which the component then owns.
inline void addProperty(icalcomponent* component, icalproperty* property) {
    icalcomponent_add_property(component, property);
}

/// Whether the to-do says it was cancelled (STATUS:CANCELLED).
inline bool isCancelledTodo(icalcomponent* todo) {
    icalproperty* status = firstProperty(todo, ICAL_STATUS_PROPERTY);
    return status && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED;
}

/// Whether libical's parser keeps a component of this name: it drops those it does not know.
inline bool isKnownComponent(const char* name) {
    const icalcomponent_kind kind = icalcomponent_string_to_kind(name);
    return kind != ICAL_NO_COMPONENT && kind != ICAL_X_COMPONENT;
}

/// The parameter's text of the property, or nothing when the property has no such parameter.
std::optional<QString> xParameterText(icalproperty* property, const char* xName);

} // namespace tardigo
