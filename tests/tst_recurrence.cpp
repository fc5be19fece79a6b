#include "dates/user_date_time_format.h"
#include "minder/recording_error_reporter.h"
#include "minder/recurrence_calculator.h"
#include "minder/recurrence_calendar.h"
#include "model/item_codes.h"
#include "model/keys.h"
#include "model/stored_date.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

#include <ctime>
#include <limits>

using namespace tardigo;

namespace {

const QByteArrayList kZones = {"Europe/Berlin", "America/New_York"};

void useZone(const QByteArray& zone) {
    qputenv("TZ", zone);
    tzset();
}

// A 19-character time is local wall-clock time in the test's zone; 25 characters are a stored date.
QDateTime timeFrom(const QString& text) {
    return text.size() == 19 ? test::localTime(text) : parseStoredDate(text).value_or(QDateTime());
}

class MinderTexts : public QTranslator {
public:
    QString translate(const char*, const char* key, const char*, int) const override {
        const QByteArray k(key);
        if (k.startsWith("No next due date could be found"))
            return QStringLiteral("no next date after %1");
        if (k.startsWith("The next month has only"))
            return QStringLiteral("moved: %1 days, not %2");
        if (k == "Tardigo Minder Error")
            return QStringLiteral("Minder error");
        return {};
    }
    bool isEmpty() const override { return false; }
};

NodePtr item(const Value& due, const Value& period) {
    NodePtr node = Dict::create();
    node->set(key::name, "water the plants");
    if (!due.isNil())
        node->set(key::due, due);
    if (!period.isNil())
        node->set(key::dateDueRepeatPeriod, period);
    return node;
}

/// A draw that always falls in the middle.
double halfway() {
    return 0.5;
}

} // namespace

class TestRecurrence : public QObject {
    Q_OBJECT

    MinderTexts _texts;

private slots:
    void initTestCase() {
        Settings::instance().useMemoryOnly();
        Settings::instance().setShortDateFormat("yyyy-MM-dd");
        Settings::instance().setTimeFormat("HH:mm");
        QCoreApplication::installTranslator(&_texts);
    }
    void cleanup() { useZone("Europe/Berlin"); }

    void nextDueDate_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("due");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("errors");

        const auto row = [](const char* name, const char* now, const char* due, int period,
                            const char* expected, const QStringList& errors = {}) {
            for (const QByteArray& zone : kZones)
                QTest::addRow("%s: %s", zone.constData(), name)
                    << zone << QString(now) << QString(due) << period << QString(expected) << errors;
        };
        // Daily and weekly: the date comes from now, the time of day and the zone from the due date.
        row("daily", "2003-05-20 14:00:00", "2003-05-10 09:30:00 +0200", DailyPeriod,
            "2003-05-21 09:30:00 +0200");
        row("weekly on the due weekday", "2003-05-19 07:00:00", "2003-05-05 08:00:00 +0200", WeeklyPeriod,
            "2003-05-26 08:00:00 +0200");
        row("weekly from the day before", "2003-05-25 14:00:00", "2003-05-05 08:00:00 +0200", WeeklyPeriod,
            "2003-05-26 08:00:00 +0200");
        row("weekly weekday read in the due date's zone", "2003-05-21 14:00:00", "2003-05-05 23:30:00 -0400",
            WeeklyPeriod, "2003-05-26 23:30:00 -0400");

        // By position: built from now's month, so the result is in the local zone.
        row("second Tuesday", "2003-05-20 14:00:00", "2003-05-13 09:00:00 +0200", MonthlyByDayPositionPeriod,
            "2003-06-10 09:00:00");
        row("fifth Friday missing in September", "2003-08-30 10:00:00", "2003-08-29 09:00:00 +0200",
            MonthlyByDayPositionPeriod, "", {"no next date after {due}"}); // on the local clock
        row("fifth Sunday on 29 February", "2004-02-10 10:00:00", "2003-11-30 09:00:00 +0100",
            MonthlyByDayPositionPeriod, "2004-02-29 09:00:00");
        row("by position from an earlier month", "2003-05-20 14:00:00", "2003-03-04 09:00:00 +0100",
            MonthlyByDayPositionPeriod, "2003-05-06 09:00:00");
        row("by position on a daylight-saving day", "2003-03-10 10:00:00", "2002-12-29 09:00:00 +0100",
            MonthlyByDayPositionPeriod, "2003-03-30 09:00:00");
        row("by position completed early", "2003-05-20 14:00:00", "2003-06-03 09:00:00 +0200",
            MonthlyByDayPositionPeriod, "2003-07-01 09:00:00 +0200");

        // By number: the result keeps the due date's zone.
        row("31st into February", "2003-02-10 10:00:00", "2003-01-31 08:00:00 +0100",
            MonthlyByDayNumberPeriod, "2003-02-28 08:00:00 +0100", {"moved: 28 days, not 31"});
        row("29th into a leap February", "2004-02-05 10:00:00", "2004-01-29 08:00:00 +0100",
            MonthlyByDayNumberPeriod, "2004-02-29 08:00:00 +0100");
        row("due earlier this month on 31 January", "2003-01-31 10:00:00", "2003-01-31 08:00:00 +0100",
            MonthlyByDayNumberPeriod, "2003-02-28 08:00:00 +0100", {"moved: 28 days, not 31"});
        row("by number due this instant", "2003-05-20 14:00:00 +0200", "2003-05-20 14:00:00 +0200",
            MonthlyByDayNumberPeriod, "2003-06-20 14:00:00 +0200");

        // Steps: each adds to the previous result, in the due date's fixed offset.
        row("quarterly", "2003-09-01 10:00:00", "2003-01-15 08:00:00 +0100", QuarterPeriod,
            "2003-10-15 08:00:00 +0100");
        row("semi-annual from a month end", "2003-05-20 10:00:00", "2002-08-31 08:00:00 +0200",
            SemiAnnualPeriod, "2003-08-28 08:00:00 +0200");
        row("semi-annual due this instant", "2003-05-20 14:00:00 +0200", "2003-05-20 14:00:00 +0200",
            SemiAnnualPeriod, "2003-11-20 14:00:00 +0200");
        row("annual completed early", "2003-05-20 10:00:00", "2004-01-01 00:00:00 +0100", AnnualPeriod,
            "2005-01-01 00:00:00 +0100");
        row("biennial", "2003-05-20 10:00:00", "2000-06-01 08:00:00 +0200", BiennialPeriod,
            "2004-06-01 08:00:00 +0200");
        row("fortnightly", "2003-05-20 14:00:00", "2003-05-01 08:00:00 +0200", FortnightPeriod,
            "2003-05-29 08:00:00 +0200");
    }
    void nextDueDate() {
        QFETCH(QByteArray, zone);
        QFETCH(QString, now);
        QFETCH(QString, due);
        QFETCH(int, period);
        QFETCH(QString, expected);
        QFETCH(QStringList, errors);
        useZone(zone);
        test::FixedClock clock(timeFrom(now));
        RecordingErrorReporter reporter;

        const std::optional<QDateTime> next =
            RecurrenceCalculator(reporter).nextDueDateForNode(*item(due, Value::integer(period)));

        QCOMPARE(next.has_value(), !expected.isEmpty());
        if (next)
            QCOMPARE(storedDateString(*next), storedDateString(timeFrom(expected)));
        for (QString& error : errors)
            error.replace(QStringLiteral("{due}"), zone == "Europe/Berlin"
                                                       ? QStringLiteral("2003-08-29 09:00")
                                                       : QStringLiteral("2003-08-29 03:00"));
        QCOMPARE(reporter.messages, errors);
        for (const QString& title : reporter.titles)
            QCOMPARE(title, QStringLiteral("Minder error"));
    }

    void anItemCompletedEarlyMovesToTheOccurrenceAfterItsDueDate_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("errors");
        // Due Tuesday 3 June 2003, the month's first Tuesday, and completed on 30 May.
        QTest::newRow("daily") << int(DailyPeriod) << "2003-06-04 09:00:00 +0200" << QStringList();
        QTest::newRow("weekly") << int(WeeklyPeriod) << "2003-06-10 09:00:00 +0200" << QStringList();
        QTest::newRow("monthly by position")
            << int(MonthlyByDayPositionPeriod) << "2003-07-01 09:00:00 +0200" << QStringList();
        QTest::newRow("monthly by number")
            << int(MonthlyByDayNumberPeriod) << "2003-07-03 09:00:00 +0200" << QStringList();
        QTest::newRow("semi-annual") << int(SemiAnnualPeriod) << "2003-12-03 09:00:00 +0200" << QStringList();
        QTest::newRow("annual") << int(AnnualPeriod) << "2004-06-03 09:00:00 +0200" << QStringList();
        QTest::newRow("biennial") << int(BiennialPeriod) << "2005-06-03 09:00:00 +0200" << QStringList();
        QTest::newRow("fortnightly") << int(FortnightPeriod) << "2003-06-17 09:00:00 +0200" << QStringList();
        QTest::newRow("quarterly") << int(QuarterPeriod) << "2003-09-03 09:00:00 +0200" << QStringList();
        // The random periods count from now, as ever.
        // The random periods count from now (half of 18 hours, half of 4 weeks), not from the due date.
        QTest::newRow("often") << int(OftenPeriod) << "2003-05-30 19:00:00 +0200" << QStringList();
        QTest::newRow("infrequent") << int(InfrequentPeriod) << "2003-06-13 10:00:00 +0200" << QStringList();
    }
    void anItemCompletedEarlyMovesToTheOccurrenceAfterItsDueDate() {
        QFETCH(int, period);
        QFETCH(QString, expected);
        QFETCH(QStringList, errors);
        const QDateTime now = test::localTime("2003-05-30 10:00:00");
        test::FixedClock clock(now);
        RecordingErrorReporter reporter;
        const RecurrenceCalculator calculator(reporter, halfway);

        const std::optional<QDateTime> next =
            calculator.nextDueDateForNode(*item("2003-06-03 09:00:00 +0200", Value::integer(period)));

        QVERIFY(next);
        QCOMPARE(storedDateString(*next), expected);
        QCOMPARE(reporter.messages, errors);
    }

    void anItemCompletedEarlyKeepsTheRulesOfShortMonths() {
        test::FixedClock clock(test::localTime("2003-01-20 10:00:00"));
        RecordingErrorReporter reporter;
        const RecurrenceCalculator calculator(reporter);
        const auto next = [&](const char* due, Period period) {
            return calculator.nextDueDateForNode(*item(due, Value::integer(period)));
        };
        QCOMPARE(storedDateString(*next("2003-01-31 08:00:00 +0100", MonthlyByDayNumberPeriod)),
                 "2003-02-28 08:00:00 +0100");
        QCOMPARE(reporter.messages, QStringList{"moved: 28 days, not 31"});
        // Friday 31 January is the month's fifth, and February has four.
        QVERIFY(!next("2003-01-31 08:00:00 +0100", MonthlyByDayPositionPeriod));
        QCOMPARE(reporter.messages.last(), "no next date after 2003-01-31 08:00");
    }

    void absentOrBadValuesGiveNoNextDate() {
        test::FixedClock clock(test::localTime("2003-05-20 14:00:00"));
        RecordingErrorReporter reporter;
        const RecurrenceCalculator calculator(reporter);
        const Value due("2003-05-10 09:30:00 +0200");

        QVERIFY(calculator.nextDueDateForNode(*item(due, Value::float32(1.0))));
        for (const Value& period : {Value(), Value::integer(0), Value::integer(57), Value::integer(-3),
                                    Value("1"), Value::float32(std::numeric_limits<double>::quiet_NaN())})
            QVERIFY(!calculator.nextDueDateForNode(*item(due, period)));
        for (const Value& badDue : {Value(), Value("2003-05-10 09:30:00"), Value("2003-02-30 09:30:00 +0200"),
                                    Value::integer(3), Value(Date{74000000.0})})
            QVERIFY(!calculator.nextDueDateForNode(*item(badDue, Value::integer(DailyPeriod))));
        QVERIFY(reporter.messages.isEmpty());
    }

    void withoutTranslationTheEnglishTextIsFilledIn() {
        QCoreApplication::removeTranslator(&_texts);
        test::FixedClock clock(test::localTime("2003-08-30 10:00:00"));
        RecordingErrorReporter reporter;
        QVERIFY(
            !RecurrenceCalculator(reporter).nextMonthlyByDayPosition(timeFrom("2003-08-29 09:00:00 +0200")));
        QCoreApplication::installTranslator(&_texts);
        QCOMPARE(reporter.messages.size(), 1);
        QVERIFY2(reporter.messages[0].startsWith(
                     "No next due date could be found for the item due 2003-08-29 09:00:"),
                 qPrintable(reporter.messages[0]));
        QCOMPARE(reporter.titles, QStringList{"Tardigo Minder Error"});
    }

    void randomPeriodsDrawWholeHoursUpToTheirPreference() {
        const QDateTime now = test::localTime("2003-05-20 14:00:00");
        test::FixedClock clock(now);
        RecordingErrorReporter reporter;
        double draw = 0.5;
        const RecurrenceCalculator calculator(reporter, [&draw] { return draw; });
        Settings& settings = Settings::instance();
        const auto hoursAhead = [&](const std::optional<QDateTime>& next) {
            return now.secsTo(*next) / 3600.0;
        };

        QCOMPARE(hoursAhead(calculator.nextOften(now)), 9.0);        // of 18 by default
        QCOMPARE(hoursAhead(calculator.nextInfrequent(now)), 336.0); // of 672 by default
        settings.setValue(pref::frequentRepeatHours, Value::integer(5));
        QCOMPARE(hoursAhead(calculator.nextOften(now)), 3.0); // 2.5 hours rounded up to a whole one
        draw = 0.01;
        QCOMPARE(hoursAhead(calculator.nextOften(now)), 1.0);
        draw = 1.0;
        QCOMPARE(hoursAhead(calculator.nextOften(now)), 5.0);
        draw = 0.0;
        QCOMPARE(hoursAhead(calculator.nextOften(now)), 0.0);
        // A preference that is no count of hours falls back to the default.
        draw = 0.5;
        settings.setValue(pref::frequentRepeatHours, Value::integer(-4));
        QCOMPARE(hoursAhead(calculator.nextOften(now)), 9.0);
        settings.setValue(pref::infrequentHours, Value::integer(1000000000000LL));
        QCOMPARE(hoursAhead(calculator.nextInfrequent(now)), 336.0);
        settings.remove(pref::frequentRepeatHours);
        settings.remove(pref::infrequentHours);

        // The process's own draw stays the same throughout one run.
        const double drawn = processRandomDraw();
        QVERIFY(drawn >= 0.0 && drawn <= 1.0);
        QCOMPARE(processRandomDraw(), drawn);
    }

    void calendarHelpers() {
        for (const auto& [day, nth] :
             std::initializer_list<std::pair<int, int>>{{1, 1}, {7, 1}, {8, 2}, {29, 5}})
            QCOMPARE(nthInstanceOfWeekDay(QDateTime(QDate(2003, 5, day), QTime(9, 0))), nth);
        QCOMPARE(daysInMonthNum(2, 2003), 28);
        QCOMPARE(daysInMonthNum(2, 2004), 29);
        QCOMPARE(daysInMonthNum(2, 1900), 28);
        QCOMPARE(daysInMonthNum(2, 2000), 29);
        QCOMPARE(daysInMonthNum(0, 2003), 0);
        QCOMPARE(daysInMonthNum(13, 2003), 0);

        // November 2003 begins on a Saturday; the result is midnight in the zone of the month's date.
        const QDateTime november(QDate(2003, 11, 20), QTime(15, 0), Qt::OffsetFromUTC, -5 * 3600);
        QCOMPARE(storedDateString(*dayOfMonthForNth(1, 6, november)), "2003-11-01 00:00:00 -0500");
        QCOMPARE(storedDateString(*dayOfMonthForNth(5, 0, november)), "2003-11-30 00:00:00 -0500");
        for (const auto& [nth, day] :
             std::initializer_list<std::pair<int, int>>{{5, 1}, {0, 0}, {6, 0}, {1, 7}, {1, -1}})
            QVERIFY(!dayOfMonthForNth(nth, day, november));

        const QDateTime now = timeFrom("2003-05-20 14:00:00 +0200");
        QVERIFY(isPast(now, now) && isFuture(now, now));
        QVERIFY(isPast(now.addSecs(-1), now) && !isFuture(now.addSecs(-1), now));
    }

    void reminderIntervals() {
        QCOMPARE(secondsIntervalWith(1.5f, ReminderHours), 5400.0);
        QCOMPARE(secondsIntervalWith(1.0f, ReminderYears), 31536000.0);
        QCOMPARE(secondsIntervalWith(1.5f, 7), 0.0);
        QCOMPARE(secondsIntervalWith(1.5f, -1), 0.0);

        NodePtr node = Dict::create();
        node->set(key::reminderTimeLength, Value::float32(30));
        QCOMPARE(reminderIntervalForNode(*node), 1800.0);
        node->set(key::reminderTimeUnit, Value::integer(ReminderDays));
        QCOMPARE(reminderIntervalForNode(*node), 30 * 86400.0);
        node->set(key::reminderTimeUnit, "days");
        QCOMPARE(reminderIntervalForNode(*node), 1800.0);
        for (const Value& bad : {Value::float32(std::numeric_limits<double>::quiet_NaN()),
                                 Value::float32(std::numeric_limits<double>::infinity()), Value::float32(-2),
                                 Value(Number::float64(1e300)), Value("30")}) {
            node->set(key::reminderTimeLength, bad);
            QCOMPARE(reminderIntervalForNode(*node), 0.0);
        }
    }

    void datesShownInTheUserFormatOnTheLocalClock() {
        // A date stored with another offset reads as the outline shows it, in the user's zone.
        useZone("America/New_York");
        QCOMPARE(formatUserDateTime(timeFrom("2003-05-13 09:00:00 +0200")), "2003-05-13 03:00");
        QCOMPARE(formatUserDateTime(timeFrom("2026-12-04 08:00:00 +0100")), "2026-12-04 02:00");
        Settings& settings = Settings::instance();
        settings.setShortDateFormat("");
        settings.setValue(pref::userTimeFormat, Value::integer(4));
        const QLocale locale;
        QCOMPARE(userDateTimeFormat(),
                 locale.dateFormat(QLocale::ShortFormat) + ' ' + locale.timeFormat(QLocale::ShortFormat));
        settings.setShortDateFormat("yyyy-MM-dd");
        settings.setTimeFormat("HH:mm");
    }
};

QTEST_GUILESS_MAIN(TestRecurrence)
#include "tst_recurrence.moc"
