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

/// Reads a due date as the user types it. An empty text clears the due date. Read are: the displayed
/// format with or without seconds; the stored form; ISO 8601 dates and date-times; the locale's short
/// date with or without a time; "now", "today", "tomorrow", "yesterday" and weekday names (the next
/// such day), at the time of day it is now; "+3d", "+2w", "in 2 weeks" and the like from now (units
/// min, h, d, w, mo, y, and their words). A date without a time is at midnight. Anything else, an
/// impossible date included, is refused.
DueDateEntry readDueDateEntry(const QString& typed);

} // namespace tardigo
