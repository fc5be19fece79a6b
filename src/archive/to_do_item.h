#pragma once

#include "model/value.h"

#include <optional>

namespace tardigo {

/// An item of a 1.x list, as its archive holds it. Object fields may be absent.
struct ToDoItem {
    std::optional<QString> name;
    std::optional<CalendarDate> dateCreated;
    std::optional<CalendarDate> dateDue;
    std::optional<CalendarDate> dateCompleted;
    std::optional<Value> notes; ///< flat RTFD: data, of the mutable class or not, as archived
    std::optional<Color> color;
    float completed = 0.0f;    ///< the completed fraction, 0.0 to 1.0
    qint32 periodicStatus = 0; ///< the repeat code of the due date

    float completedPercentAsFloat() const { return completed * 100.0f; }
};

} // namespace tardigo
