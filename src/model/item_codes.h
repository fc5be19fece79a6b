#pragma once

#include "model/value.h"

namespace tardigo {

/// The codes stored under "date due repeat period"; any other value means no repeat.
enum Period : int {
    NoPeriod = 0,
    DailyPeriod = 1,
    WeeklyPeriod = 2,
    MonthlyByDayPositionPeriod = 3,
    MonthlyByDayNumberPeriod = 4,
    SemiAnnualPeriod = 5,
    AnnualPeriod = 6,
    BiennialPeriod = 7,
    OftenPeriod = 8,
    InfrequentPeriod = 9,
    FortnightPeriod = 10,
    QuarterPeriod = 11,
};

/// The codes stored under "reminder time unit".
enum ReminderUnit : int {
    ReminderMinutes = 0,
    ReminderHours = 1,
    ReminderDays = 2,
    ReminderWeeks = 3,
    ReminderMonths = 4,  // of 30 days
    ReminderPeriods = 5, // of 120 days
    ReminderYears = 6,   // of 365 days
};

/// The seconds in one reminder unit; 0 for any other code.
double secondsPerReminderUnit(qint64 unit);
/// The amount of the unit in seconds; any other unit code gives 0.
double secondsIntervalWith(float amount, qint64 units);

/// The reminder interval of an item node in seconds. A "reminder time length" that is absent, not a
/// number, not finite or negative counts as 0; an absent or non-numeric unit counts as minutes.
double reminderIntervalForNode(const Dict& node);

} // namespace tardigo
