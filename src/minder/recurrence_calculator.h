#pragma once

#include "model/clock.h"
#include "model/item_codes.h"
#include "model/value.h"

#include <QDateTime>

#include <functional>
#include <optional>

namespace tardigo {

class ErrorReporter;

/// A draw between 0 and 1 for the periods of random length.
using RandomDraw = std::function<double()>;
/// The running process's draw: the same throughout one run, another in the next.
double processRandomDraw();

/// Finds a repeating item's next due date. "Now" comes from the Clock, in the local zone; results
/// keep the zone of the due date, except where they are built from now's month or from now.
class RecurrenceCalculator {
public:
    explicit RecurrenceCalculator(ErrorReporter& reporter, RandomDraw draw = processRandomDraw);

    /// The next due date of the node's "due" under its period; none without a parsable due date or
    /// with a period outside 1 to 11. An item completed while its due date is still ahead counts for
    /// that occurrence: its next one is the first after the due date (the random periods keep theirs).
    std::optional<QDateTime> nextDueDateForNode(const Dict& node) const;

    // Each rule counts from `from`, which is now unless said otherwise.
    /// The day after `from` at the due date's time of day.
    std::optional<QDateTime> nextDaily(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    /// The next day after `from` on the due date's weekday, 1 to 7 days ahead.
    std::optional<QDateTime> nextWeekly(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    /// The same nth weekday in the month to consider; none, reported, when that month lacks it. A due
    /// date after `from` is answered unchanged.
    std::optional<QDateTime> nextMonthlyByDayPosition(const QDateTime& due,
                                                      const QDateTime& from = Clock::now()) const;
    /// The same day number in the month to consider, moved (and reported) to a shorter month's end.
    /// A due date after `from` is answered unchanged.
    std::optional<QDateTime> nextMonthlyByDayNumber(const QDateTime& due,
                                                    const QDateTime& from = Clock::now()) const;
    std::optional<QDateTime> nextSemiAnnual(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    std::optional<QDateTime> nextAnnual(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    std::optional<QDateTime> nextBiennial(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    /// Now plus a random whole number of hours, at most "frequentRepeatHours"; `from` is not used.
    std::optional<QDateTime> nextOften(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    /// Now plus a random whole number of hours, at most "infrequentHours"; `from` is not used.
    std::optional<QDateTime> nextInfrequent(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    std::optional<QDateTime> nextFortnight(const QDateTime& due, const QDateTime& from = Clock::now()) const;
    std::optional<QDateTime> nextQuarter(const QDateTime& due, const QDateTime& from = Clock::now()) const;

private:
    /// Adds the step to the due date until it is after `from`.
    std::optional<QDateTime> nextBySteps(const QDateTime& due, const QDateTime& from, int months,
                                         int days) const;
    /// Now plus a random number of whole hours up to maxHours (the fallback when it is out of range).
    std::optional<QDateTime> nowPlusRandomHours(qint64 maxHours, qint64 fallbackHours) const;

    ErrorReporter& _reporter;
    RandomDraw _draw;
};

} // namespace tardigo
