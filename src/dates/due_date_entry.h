#pragma once

#include <QDateTime>
#include <QString>

namespace tardigo {

/// What a text typed into the due column stands for.
struct DueDateEntry {
    enum class Kind { Clear, Date, Refused };
    Kind kind = Kind::Clear;
    QDateTime date;  // for Date
    QString refusal; // for Refused: a sentence saying that the text was not read and what to type
};

/// The time of day at which a day given without a time falls due: when the day is over.
QTime endOfDueDay();

/// Reads a due date as the user types it. An empty text clears the due date. Read are: the displayed
/// format with or without seconds; the stored form; ISO 8601 dates and date-times; the locale's short
/// date with or without a time; "today", "tomorrow", "yesterday", weekday names (the next such day)
/// and "+3d", "+2w", "in 2 weeks" (units d, w, mo, y, and their words), each alone or followed by a
/// time of day ("tomorrow 10:00", "friday 9:30 PM", "in 3 days at 14:00"); "now", "+30min" and
/// "in 3 hours" from now, to the minute. A day without a time is due at its end, 23:59. Anything
/// else, an impossible date included, is refused.
DueDateEntry readDueDateEntry(const QString& typed);

} // namespace tardigo
