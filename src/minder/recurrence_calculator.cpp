#include "minder/recurrence_calculator.h"

#include "dates/user_date_time_format.h"
#include "minder/error_reporter.h"
#include "minder/recurrence_calendar.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/stored_date.h"
#include "platform/settings.h"

#include <QCoreApplication>

#include <cmath>
#include <stdlib.h>
#include <unistd.h>

namespace tardigo {

namespace {
constexpr qint64 kOftenHours = 18;
constexpr qint64 kInfrequentHours = 672;
// Beyond a century of hours a preference is nonsense, and now + hours would overflow.
constexpr qint64 kMaxRandomHours = 24 * 366 * 100;

// From's month follows a due date of an earlier month; a due date in from's month moves to the next.
QDateTime monthToConsider(const QDateTime& due, const QDateTime& from) {
    const bool dueThisMonth =
        due.date().year() == from.date().year() && due.date().month() == from.date().month();
    return dueThisMonth ? from.addMonths(1) : from;
}
} // namespace

double processRandomDraw() {
    // Seeding from the process id on every call gives the same draw throughout one run.
    srandom(unsigned(getpid()));
    return double(random()) / 2147483647.0;
}

RecurrenceCalculator::RecurrenceCalculator(ErrorReporter& reporter, RandomDraw draw)
    : _reporter(reporter), _draw(std::move(draw)) {}

std::optional<QDateTime> RecurrenceCalculator::nextDueDateForNode(const Dict& node) const {
    using Routine =
        std::optional<QDateTime> (RecurrenceCalculator::*)(const QDateTime&, const QDateTime&) const;
    static constexpr Routine kRoutines[] = {
        nullptr,
        &RecurrenceCalculator::nextDaily,
        &RecurrenceCalculator::nextWeekly,
        &RecurrenceCalculator::nextMonthlyByDayPosition,
        &RecurrenceCalculator::nextMonthlyByDayNumber,
        &RecurrenceCalculator::nextSemiAnnual,
        &RecurrenceCalculator::nextAnnual,
        &RecurrenceCalculator::nextBiennial,
        &RecurrenceCalculator::nextOften,
        &RecurrenceCalculator::nextInfrequent,
        &RecurrenceCalculator::nextFortnight,
        &RecurrenceCalculator::nextQuarter,
    };
    const std::optional<QDateTime> due = parseStoredDate(node.value(key::due));
    const Number* stored = node.value(key::dateDueRepeatPeriod).asNumber();
    const qint64 period = stored ? stored->toInt64() : qint64(NoPeriod);
    if (!due || period <= NoPeriod || period > QuarterPeriod)
        return std::nullopt;
    // Completed early, the item is done for the occurrence on its due date, so the rule counts from there.
    const QDateTime now = Clock::now();
    const bool early = isFuture(*due, now) && period != OftenPeriod && period != InfrequentPeriod;
    return (this->*kRoutines[period])(*due, early ? *due : now);
}

std::optional<QDateTime> RecurrenceCalculator::nextDaily(const QDateTime& due, const QDateTime& from) const {
    if (!due.isValid())
        return std::nullopt;
    return dateInZoneOf(from.date().addDays(1), due.time(), due);
}

std::optional<QDateTime> RecurrenceCalculator::nextWeekly(const QDateTime& due, const QDateTime& from) const {
    if (!due.isValid())
        return std::nullopt;
    const QDate today = from.date();
    const int diff = weekDay(today) - weekDay(due.date());
    // On the due weekday itself the next one is a week ahead, even before the due time of day.
    const int days = diff >= 0 ? 7 - diff : -diff;
    return dateInZoneOf(today.addDays(days), due.time(), due);
}

std::optional<QDateTime> RecurrenceCalculator::nextMonthlyByDayPosition(const QDateTime& due,
                                                                        const QDateTime& from) const {
    if (!due.isValid())
        return std::nullopt;
    if (due > from)
        return due;
    const std::optional<QDateTime> day =
        dayOfMonthForNth(nthInstanceOfWeekDay(due), weekDay(due.date()), monthToConsider(due, from));
    if (!day) {
        _reporter.noteError(
            QCoreApplication::translate("RecurrenceCalculator",
                                        "No next due date could be found for the item due %1: the next month "
                                        "has no such weekday at that position. Please choose a new due date.")
                .arg(formatUserDateTime(due)));
        return std::nullopt;
    }
    return dateInZoneOf(day->date(), due.time(), *day);
}

std::optional<QDateTime> RecurrenceCalculator::nextMonthlyByDayNumber(const QDateTime& due,
                                                                      const QDateTime& from) const {
    if (!due.isValid())
        return std::nullopt;
    if (due > from)
        return due;
    const QDate month = monthToConsider(due, from).date();
    const int length = daysInMonthNum(month.month(), month.year());
    const int dayNumber = due.date().day();
    if (dayNumber > length)
        _reporter.noteNotice(
            QCoreApplication::translate("RecurrenceCalculator",
                                        "The next month has only %1 days, so the due date on "
                                        "day %2 was moved to the month's last day.")
                .arg(QString::number(length), QString::number(dayNumber)));
    return dateInZoneOf(QDate(month.year(), month.month(), std::min(dayNumber, length)), due.time(), due);
}

std::optional<QDateTime> RecurrenceCalculator::nextSemiAnnual(const QDateTime& due,
                                                              const QDateTime& from) const {
    return nextBySteps(due, from, 6, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextAnnual(const QDateTime& due, const QDateTime& from) const {
    return nextBySteps(due, from, 12, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextBiennial(const QDateTime& due,
                                                            const QDateTime& from) const {
    return nextBySteps(due, from, 24, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextOften(const QDateTime&, const QDateTime&) const {
    return nowPlusRandomHours(Settings::instance().frequentRepeatHours(), kOftenHours);
}

std::optional<QDateTime> RecurrenceCalculator::nextInfrequent(const QDateTime&, const QDateTime&) const {
    return nowPlusRandomHours(Settings::instance().infrequentRepeatHours(), kInfrequentHours);
}

std::optional<QDateTime> RecurrenceCalculator::nextFortnight(const QDateTime& due,
                                                             const QDateTime& from) const {
    return nextBySteps(due, from, 0, 14);
}

std::optional<QDateTime> RecurrenceCalculator::nextQuarter(const QDateTime& due,
                                                           const QDateTime& from) const {
    return nextBySteps(due, from, 3, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextBySteps(const QDateTime& due, const QDateTime& from,
                                                           int months, int days) const {
    if (!due.isValid())
        return std::nullopt;
    // Each step adds to the previous result, so a month-end day clamped once stays clamped.
    QDateTime next = due;
    while (isPast(next, from))
        next = next.addMonths(months).addDays(days);
    return next;
}

std::optional<QDateTime> RecurrenceCalculator::nowPlusRandomHours(qint64 maxHours,
                                                                  qint64 fallbackHours) const {
    if (maxHours <= 0 || maxHours > kMaxRandomHours)
        maxHours = fallbackHours;
    const auto hours = qint64(std::ceil(double(maxHours) * _draw()));
    return Clock::now().addSecs(hours * 3600);
}

} // namespace tardigo
