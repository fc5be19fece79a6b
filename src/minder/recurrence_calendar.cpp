#include "minder/recurrence_calendar.h"

#include <QTimeZone>

namespace tardigo {

namespace {
constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool isLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}
} // namespace

int weekDay(const QDate& date) {
    return date.dayOfWeek() % 7;
}

int daysInMonthNum(int month, int year) {
    if (month < 1 || month > 12)
        return 0;
    return kMonthLengths[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

int nthInstanceOfWeekDay(const QDateTime& date) {
    return (date.date().day() - 1) / 7 + 1;
}

std::optional<QDateTime> dayOfMonthForNth(int nth, int weekDayNumber, const QDateTime& monthOfDate) {
    // No month holds a sixth weekday; refusing early also keeps the day arithmetic from overflowing.
    if (nth < 1 || nth > 5 || weekDayNumber < 0 || weekDayNumber > 6 || !monthOfDate.isValid())
        return std::nullopt;
    const QDate first(monthOfDate.date().year(), monthOfDate.date().month(), 1);
    const int day = 1 + (weekDayNumber - weekDay(first) + 7) % 7 + 7 * (nth - 1);
    if (day > daysInMonthNum(first.month(), first.year()))
        return std::nullopt;
    return dateInZoneOf(QDate(first.year(), first.month(), day), QTime(0, 0), monthOfDate);
}

QDateTime dateInZoneOf(const QDate& day, const QTime& time, const QDateTime& zoneOf) {
    switch (zoneOf.timeSpec()) {
    case Qt::OffsetFromUTC:
        return QDateTime(day, time, Qt::OffsetFromUTC, zoneOf.offsetFromUtc());
    case Qt::TimeZone:
        return QDateTime(day, time, zoneOf.timeZone());
    case Qt::UTC:
    case Qt::LocalTime:
        break;
    }
    return QDateTime(day, time, zoneOf.timeSpec());
}

bool isPast(const QDateTime& date, const QDateTime& now) {
    return date <= now;
}

bool isFuture(const QDateTime& date, const QDateTime& now) {
    return date >= now;
}

} // namespace tardigo
