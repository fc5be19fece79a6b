#include "ical/repeat_rule.h"

#include "model/item_codes.h"

#include <initializer_list>

namespace tardigo {

namespace {

icalrecurrencetype_weekday weekdayOf(const QDate& date) {
    return icalrecurrencetype_weekday(date.dayOfWeek() % 7 +
                                      1); // Qt counts from Monday, iCalendar from Sunday
}

/// Which of its weekday the date is within its month: days 1 to 7 are the first, and so on.
int positionInMonth(const QDate& date) {
    return (date.day() - 1) / 7 + 1;
}

/// libical's encoding of "the nth weekday" in BYDAY.
short encodedDay(icalrecurrencetype_weekday weekday, int position) {
    return short(position * 8 + weekday);
}

bool isEmpty(const short* list) {
    return list[0] == ICAL_RECURRENCE_ARRAY_MAX;
}
/// Empty, or the one value the due date gives (any value when there is no due date).
bool emptyOrDue(const short* list, std::optional<int> dueValue) {
    return isEmpty(list) || (list[1] == ICAL_RECURRENCE_ARRAY_MAX && (!dueValue || list[0] == *dueValue));
}

icalrecurrencetype rule(icalrecurrencetype_frequency frequency, short interval) {
    icalrecurrencetype r;
    icalrecurrencetype_clear(&r);
    r.freq = frequency;
    r.interval = interval;
    return r;
}

} // namespace

std::optional<icalrecurrencetype> recurrenceForPeriod(qint64 period, const std::optional<QDateTime>& due) {
    switch (period) {
    case DailyPeriod:
        return rule(ICAL_DAILY_RECURRENCE, 1);
    case WeeklyPeriod:
        return rule(ICAL_WEEKLY_RECURRENCE, 1);
    case FortnightPeriod:
        return rule(ICAL_WEEKLY_RECURRENCE, 2);
    case MonthlyByDayPositionPeriod: {
        if (!due)
            return std::nullopt;
        icalrecurrencetype r = rule(ICAL_MONTHLY_RECURRENCE, 1);
        r.by_day[0] = encodedDay(weekdayOf(due->date()), positionInMonth(due->date()));
        r.by_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
        return r;
    }
    case MonthlyByDayNumberPeriod:
        return rule(ICAL_MONTHLY_RECURRENCE, 1);
    case QuarterPeriod:
        return rule(ICAL_MONTHLY_RECURRENCE, 3);
    case SemiAnnualPeriod:
        return rule(ICAL_MONTHLY_RECURRENCE, 6);
    case AnnualPeriod:
        return rule(ICAL_YEARLY_RECURRENCE, 1);
    case BiennialPeriod:
        return rule(ICAL_YEARLY_RECURRENCE, 2);
    default:
        return std::nullopt;
    }
}

std::optional<qint64> periodForRecurrence(const icalrecurrencetype& r, const std::optional<QDateTime>& due) {
    // A rule that ends, or picks times or days we cannot name, repeats in a way no period does.
    if (r.count != 0 || !icaltime_is_null_time(r.until) || (r.rscale && *r.rscale))
        return std::nullopt;
    for (const short* list :
         {r.by_second, r.by_minute, r.by_hour, r.by_year_day, r.by_week_no, r.by_set_pos}) {
        if (!isEmpty(list))
            return std::nullopt;
    }
    const std::optional<QDate> dueDate = due ? std::optional<QDate>(due->date()) : std::nullopt;
    const std::optional<int> dueDay = dueDate ? std::optional<int>(dueDate->day()) : std::nullopt;
    const std::optional<int> dueMonth = dueDate ? std::optional<int>(dueDate->month()) : std::nullopt;
    const std::optional<int> dueWeekday = dueDate ? std::optional<int>(weekdayOf(*dueDate)) : std::nullopt;
    const int interval = r.interval < 1 ? 1 : r.interval;
    switch (r.freq) {
    case ICAL_DAILY_RECURRENCE:
        if (interval == 1 && isEmpty(r.by_day) && isEmpty(r.by_month_day) && isEmpty(r.by_month))
            return DailyPeriod;
        return std::nullopt;
    case ICAL_WEEKLY_RECURRENCE:
        if (!emptyOrDue(r.by_day, dueWeekday) || !isEmpty(r.by_month_day) || !isEmpty(r.by_month))
            return std::nullopt;
        return interval == 1   ? std::optional<qint64>(WeeklyPeriod)
               : interval == 2 ? std::optional<qint64>(FortnightPeriod)
                               : std::nullopt;
    case ICAL_MONTHLY_RECURRENCE: {
        if (!isEmpty(r.by_month))
            return std::nullopt;
        if (!isEmpty(r.by_day)) {
            const short day = r.by_day[0];
            const int position = icalrecurrencetype_day_position(day);
            const bool dueOwn = !dueDate || (position == positionInMonth(*dueDate) &&
                                             icalrecurrencetype_day_day_of_week(day) == weekdayOf(*dueDate));
            if (interval == 1 && r.by_day[1] == ICAL_RECURRENCE_ARRAY_MAX && position >= 1 && position <= 5 &&
                dueOwn && isEmpty(r.by_month_day))
                return MonthlyByDayPositionPeriod;
            return std::nullopt;
        }
        if (!emptyOrDue(r.by_month_day, dueDay))
            return std::nullopt;
        return interval == 1   ? std::optional<qint64>(MonthlyByDayNumberPeriod)
               : interval == 3 ? std::optional<qint64>(QuarterPeriod)
               : interval == 6 ? std::optional<qint64>(SemiAnnualPeriod)
                               : std::nullopt;
    }
    case ICAL_YEARLY_RECURRENCE:
        if (!isEmpty(r.by_day) || !emptyOrDue(r.by_month, dueMonth) || !emptyOrDue(r.by_month_day, dueDay))
            return std::nullopt;
        return interval == 1   ? std::optional<qint64>(AnnualPeriod)
               : interval == 2 ? std::optional<qint64>(BiennialPeriod)
                               : std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace tardigo
