#include "minder/recurrence_calculator.h"

#include "minder/error_reporter.h"
#include "minder/recurrence_calendar.h"
#include "minder/user_date_time_format.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/stored_date.h"
#include "platform/localized.h"
#include "platform/user_defaults.h"

#include <cmath>
#include <stdlib.h>
#include <unistd.h>

namespace tardigo {

namespace {
constexpr qint64 kOftenHours = 18;
constexpr qint64 kInfrequentHours = 672;
// Beyond a century of hours a preference is nonsense, and now + hours would overflow.
constexpr qint64 kMaxRandomHours = 24 * 366 * 100;

// Now's month follows a due date of an earlier month; a due date in now's month moves to the next.
QDateTime monthToConsider(const QDateTime& due, const QDateTime& now) {
    const bool dueThisMonth =
        due.date().year() == now.date().year() && due.date().month() == now.date().month();
    return dueThisMonth ? now.addMonths(1) : now;
}
} // namespace

RecurrenceCalculator::RecurrenceCalculator(ErrorReporter& reporter) : _reporter(reporter) {}

std::optional<QDateTime> RecurrenceCalculator::nextDueDateForNode(const Dict& node) const {
    using Routine = std::optional<QDateTime> (RecurrenceCalculator::*)(const QDateTime&) const;
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
    const qint64 period = stored ? stored->toInt64() : qint64(VKNoPeriod);
    if (!due || period <= VKNoPeriod || period > VKQuarterPeriod)
        return std::nullopt;
    return (this->*kRoutines[period])(*due);
}

std::optional<QDateTime> RecurrenceCalculator::nextDaily(const QDateTime& due) const {
    if (!due.isValid())
        return std::nullopt;
    return dateInZoneOf(Clock::now().date().addDays(1), due.time(), due);
}

std::optional<QDateTime> RecurrenceCalculator::nextWeekly(const QDateTime& due) const {
    if (!due.isValid())
        return std::nullopt;
    const QDate today = Clock::now().date();
    const int diff = weekDay(today) - weekDay(due.date());
    // On the due weekday itself the next one is a week ahead, even before the due time of day.
    const int days = diff >= 0 ? 7 - diff : -diff;
    return dateInZoneOf(today.addDays(days), due.time(), due);
}

std::optional<QDateTime> RecurrenceCalculator::nextMonthlyByDayPosition(const QDateTime& due) const {
    if (!due.isValid())
        return std::nullopt;
    const QDateTime now = Clock::now();
    if (VKisFuture(due, now))
        return due;
    const std::optional<QDateTime> day =
        dayOfMonthForNth(nthInstanceOfWeekDay(due), weekDay(due.date()), monthToConsider(due, now));
    if (!day) {
        _reporter.noteError(
            localizedFormat(QStringLiteral("MINDER_NEXT_DATE_ERR_TEMPLATE"), formatUserDateTime(due)));
        return std::nullopt;
    }
    return dateInZoneOf(day->date(), due.time(), *day);
}

std::optional<QDateTime> RecurrenceCalculator::nextMonthlyByDayNumber(const QDateTime& due) const {
    if (!due.isValid())
        return std::nullopt;
    const QDateTime now = Clock::now();
    if (VKisFuture(due, now))
        return due;
    const QDate month = monthToConsider(due, now).date();
    const int length = daysInMonthNum(month.month(), month.year());
    const int dayNumber = due.date().day();
    if (dayNumber > length)
        _reporter.noteError(localizedFormat(QStringLiteral("MINDER_NEXT_DATE_INEXACT"),
                                            QString::number(length), QString::number(dayNumber)));
    return dateInZoneOf(QDate(month.year(), month.month(), std::min(dayNumber, length)), due.time(), due);
}

std::optional<QDateTime> RecurrenceCalculator::nextSemiAnnual(const QDateTime& due) const {
    return nextBySteps(due, 6, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextAnnual(const QDateTime& due) const {
    return nextBySteps(due, 12, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextBiennial(const QDateTime& due) const {
    return nextBySteps(due, 24, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextOften(const QDateTime&) const {
    return nowPlusRandomHours(pref::frequentRepeatHours, kOftenHours);
}

std::optional<QDateTime> RecurrenceCalculator::nextInfrequent(const QDateTime&) const {
    return nowPlusRandomHours(pref::infrequentHours, kInfrequentHours);
}

std::optional<QDateTime> RecurrenceCalculator::nextFortnight(const QDateTime& due) const {
    return nextBySteps(due, 0, 14);
}

std::optional<QDateTime> RecurrenceCalculator::nextQuarter(const QDateTime& due) const {
    return nextBySteps(due, 3, 0);
}

std::optional<QDateTime> RecurrenceCalculator::nextBySteps(const QDateTime& due, int months, int days) const {
    if (!due.isValid())
        return std::nullopt;
    const QDateTime now = Clock::now();
    // Each step adds to the previous result, so a month-end day clamped once stays clamped.
    QDateTime next = due;
    while (VKisPast(next, now))
        next = next.addMonths(months).addDays(days);
    return next;
}

std::optional<QDateTime> RecurrenceCalculator::nowPlusRandomHours(const QString& prefKey,
                                                                  qint64 fallbackHours) const {
    qint64 maxHours = UserDefaults::standard().integerForKey(prefKey);
    if (maxHours <= 0 || maxHours > kMaxRandomHours)
        maxHours = fallbackHours;
    // Seeding from the process id on every call gives the same draw throughout one run.
    srandom(unsigned(getpid()));
    const long r = random();
    const auto hours = qint64(std::ceil(double(maxHours) * double(r) / 2147483647.0));
    return Clock::now().addSecs(hours * 3600);
}

} // namespace tardigo
