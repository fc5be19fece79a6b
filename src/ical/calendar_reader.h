#pragma once

#include "ical/ical_handle.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tardigo {

/// What reading iCalendar text gave.
struct CalendarRead {
    std::vector<IcalComponentPtr> components; // the top-level components, normally VCALENDARs
    QString error; // the first problem, a sentence naming the file and the line or component
    /// The properties libical could not read, which are not in `components`: a sentence each,
    /// naming the file and the line.
    QStringList unread;
    bool ok() const { return error.isEmpty(); }
};

/// Marks, in a component read, a property line of it that libical could not read: the marker's
/// text is the property's name ("PROXIMITY"). A marker is never written: a to-do written back keeps
/// the line itself (see keptCalendarText()).
constexpr const char* kUnreadProperty = "X-TARDIGO-UNREAD";

/// The most iCalendar text that is read at once: libical takes about 14 times as much memory. The
/// calendar of a list of 100,000 items is about 49 MB.
constexpr qsizetype kMaxCalendarBytes = 64 * 1024 * 1024;

/// Reads iCalendar text through libical's parser, one unfolded line at a time, counting lines so
/// that a problem can be placed. Refuses text whose structure is broken: too large, not UTF-8,
/// nesting too deep, a line that is no property, an END that ends no open component, and text
/// that ends inside a component. A property libical cannot read (a name it does not know, a value
/// or parameter it cannot parse) only leaves that property out, named in `unread`. `fileName`
/// names the file in messages, which quote at most the start of a line.
CalendarRead readCalendar(const QByteArray& bytes, const QString& fileName);

/// A content line's name, upper-cased ("DUE", "BEGIN"), and its value: what follows the first colon
/// outside a quoted parameter value. The name is empty for a line that is no content line.
struct ContentLine {
    QByteArray name;
    QByteArray value;
};
ContentLine splitContentLine(const QByteArray& line);

/// The to-dos of what was read, in order (those of every VCALENDAR), and how many other
/// components (events, journals, free/busy, and anything outside a calendar) were passed over.
struct CalendarTodos {
    std::vector<icalcomponent*> todos; // owned by the CalendarRead
    qsizetype others = 0;
};
CalendarTodos todosIn(const CalendarRead& read);

} // namespace tardigo
