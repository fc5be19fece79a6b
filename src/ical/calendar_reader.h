#pragma once

#include "ical/ical_handle.h"

#include <QString>

#include <vector>

namespace tardigo {

/// What reading iCalendar text gave.
struct CalendarRead {
    std::vector<IcalComponentPtr> components; // the top-level components, normally VCALENDARs
    QString error; // the first problem, a sentence naming the file and the line or component
    bool ok() const { return error.isEmpty(); }
};

/// The most iCalendar text that is read at once: libical takes about 14 times as much memory. The
/// calendar of a list of 100,000 items is about 49 MB.
constexpr qsizetype kMaxCalendarBytes = 64 * 1024 * 1024;

/// Reads iCalendar text through libical's parser, one unfolded line at a time, counting lines so
/// that a problem can be placed. Refuses text that is too large, is not UTF-8 or nests too deep,
/// lines libical cannot read, components it marks with errors, and text that ends inside a
/// component. `fileName` names the file in errors, which quote at most the start of a line.
CalendarRead readCalendar(const QByteArray& bytes, const QString& fileName);

/// The to-dos of what was read, in order (those of every VCALENDAR), and how many other
/// components (events, journals, free/busy, and anything outside a calendar) were passed over.
struct CalendarTodos {
    std::vector<icalcomponent*> todos; // owned by the CalendarRead
    qsizetype others = 0;
};
CalendarTodos todosIn(const CalendarRead& read);

} // namespace tardigo
