#pragma once

#include <libical/ical.h>

#include <QByteArray>

#include <memory>

namespace tardigo {

struct IcalComponentDeleter {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
/// A component that belongs to no other: freed with everything in it when the pointer goes.
using IcalComponentPtr = std::unique_ptr<icalcomponent, IcalComponentDeleter>;

/// The text a libical function with the _r suffix answered, which the caller must free.
inline QByteArray takeIcalText(char* text) {
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

/// A component's iCalendar text, folded and escaped by libical.
inline QByteArray icalText(icalcomponent* component) {
    return takeIcalText(icalcomponent_as_ical_string_r(component));
}

} // namespace tardigo
