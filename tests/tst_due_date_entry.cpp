#include "dates/due_date_entry.h"
#include "dates/due_date_format.h"
#include "model/clock.h"
#include "model/keys.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QLocale>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

class TestDueDateEntry : public QObject {
    Q_OBJECT
    QDateTime _now;

    static QDateTime read(const QString& typed) {
        const DueDateEntry entry = readDueDateEntry(typed);
        return entry.kind == DueDateEntry::Kind::Date ? entry.date : QDateTime();
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c());
        Settings::instance().useMemoryOnly();
        _now = localTime("2024-03-10 14:25:37"); // a Sunday
    }
    void init() { Clock::setFixed(_now); }
    void cleanup() {
        Clock::reset();
        Settings::instance().remove(pref::userShortDateFormat);
        Settings::instance().remove(pref::userTimeFormat);
    }

    void theColumnShowsSecondsOnlyWhenThereAreAnyAndReadsBackWhatItShows() {
        Settings::instance().setShortDateFormat("dd/MM/yy");
        Settings::instance().setTimeFormat("h:mm:ss AP");
        const QDateTime due = localTime("2031-05-17 21:30:00");
        QCOMPARE(formatDueDate(due), QStringLiteral("17/05/31 9:30 PM"));
        QCOMPARE(formatDueDate(due.addSecs(15)), QStringLiteral("17/05/31 9:30:15 PM"));
        QCOMPARE(read(formatDueDate(due)), due); // a two-digit year is this century's
        QCOMPARE(read(formatDueDate(due.addSecs(15))), due.addSecs(15));
        QCOMPARE(read("17/05/2031 9:30 PM"), due);
        // Shown in local time, whatever offset it was stored with.
        QCOMPARE(formatDueDate(QDateTime(QDate(2031, 5, 17), QTime(19, 30), Qt::UTC)), formatDueDate(due));

        Settings::instance().setTimeFormat("HH:mm");
        QCOMPARE(formatDueDate(due), QStringLiteral("17/05/31 21:30"));
        QCOMPARE(read("17/05/31 21:30:45"), due.addSecs(45)); // seconds may be typed all the same
    }

    void acceptedForms_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime christmas = localTime("2026-12-25 14:30:00");
        const QDateTime christmasDay = localTime("2026-12-25 23:59:00"); // a day alone: at its end
        const auto dayAfter = [this](int days, const char* time = "23:59:00") {
            return QDateTime(_now.date().addDays(days), QTime::fromString(time, "HH:mm:ss"));
        };
        const QString c = "C";
        QTest::newRow("shown, without seconds") << c << "25 Dec 2026 14:30" << christmas;
        QTest::newRow("shown, with seconds") << c << "25 Dec 2026 14:30:00" << christmas;
        QTest::newRow("short date") << c << "25 Dec 2026" << christmasDay;
        QTest::newRow("iso") << c << "2026-12-25 14:30" << christmas;
        QTest::newRow("iso with T and seconds") << c << "2026-12-25T14:30:00" << christmas;
        QTest::newRow("iso in UTC") << c << "2026-12-25T13:30Z" << christmas;
        QTest::newRow("iso date") << c << " 2026-12-25 " << christmasDay;
        QTest::newRow("stored") << c << "2026-12-25 14:30:00 +0100" << christmas;
        QTest::newRow("British date") << "en_GB"
                                      << "25/12/2026" << christmasDay;
        QTest::newRow("British date and time") << "en_GB"
                                               << "25/12/2026 14:30" << christmas;
        QTest::newRow("American date") << "en_US"
                                       << "12/25/2026" << christmasDay;
        QTest::newRow("American short year and time") << "en_US"
                                                      << "12/25/26 2:30 PM" << christmas;
        QTest::newRow("German date") << "de_DE"
                                     << "25.12.26" << christmasDay;
        // Days named from today are due when the day is over, never at the seconds of the typing.
        QTest::newRow("today") << c << "today" << dayAfter(0);
        QTest::newRow("tomorrow") << c << "tomorrow" << dayAfter(1);
        QTest::newRow("yesterday") << c << "YESTERDAY" << dayAfter(-1);
        QTest::newRow("weekday") << c << "Friday" << dayAfter(5);
        QTest::newRow("short weekday") << c << "tue" << dayAfter(2);
        QTest::newRow("today's weekday is next week's") << c << "sunday" << dayAfter(7);
        QTest::newRow("German weekday") << "de_DE"
                                        << "Freitag" << dayAfter(5);
        QTest::newRow("+3d") << c << "+3d" << dayAfter(3);
        QTest::newRow("+ 2 weeks") << c << "+ 2 weeks" << dayAfter(14);
        QTest::newRow("in 2 weeks") << c << "in 2 weeks" << dayAfter(14);
        QTest::newRow("+1mo") << c << "+1mo" << localTime("2024-04-10 23:59:00");
        QTest::newRow("in a year, in digits") << c << "in 1 yr" << localTime("2025-03-10 23:59:00");
        // A day with a time of day.
        QTest::newRow("tomorrow at a time") << c << "tomorrow 10:00" << dayAfter(1, "10:00:00");
        QTest::newRow("weekday at a time") << c << "friday 9:30" << dayAfter(5, "09:30:00");
        QTest::newRow("days ahead at a time") << c << "in 3 days at 14:00" << dayAfter(3, "14:00:00");
        QTest::newRow("weekday, twelve-hour clock") << c << "Fri 9:30 pm" << dayAfter(5, "21:30:00");
        QTest::newRow("the locale's short time") << "en_US"
                                                 << "tomorrow 2:30 PM" << dayAfter(1, "14:30:00");
        // Moments from now, to the minute.
        QTest::newRow("now") << c << "Now" << localTime("2024-03-10 14:25:00");
        QTest::newRow("in 3 hours") << c << "In 3 hours" << localTime("2024-03-10 17:25:00");
        QTest::newRow("+30min") << c << "+30min" << localTime("2024-03-10 14:55:00");
    }
    void acceptedForms() {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QDateTime, expected);
        QLocale::setDefault(QLocale(locale));
        const DueDateEntry entry = readDueDateEntry(typed);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(int(entry.kind), int(DueDateEntry::Kind::Date));
        QCOMPARE(entry.date.toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
    }

    void anEmptyCellClearsAndAnythingElseIsRefusedWithAReason_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("no such day") << "2026-02-30 10:00";
        QTest::newRow("a date in another locale's order") << "25/12/2026";
        QTest::newRow("unknown unit") << "+3 fortnights";
        QTest::newRow("no number") << "in weeks";
        QTest::newRow("no such time") << "tomorrow 25:00";
        QTest::newRow("a time with no day") << "at 10:00";
        QTest::newRow("hours are no day") << "in 3 hours at 10:00";
    }
    void anEmptyCellClearsAndAnythingElseIsRefusedWithAReason() {
        QFETCH(QString, typed);
        const DueDateEntry entry = readDueDateEntry(typed);
        QCOMPARE(int(entry.kind), int(DueDateEntry::Kind::Refused));
        QVERIFY2(entry.refusal.contains(u'“' + typed + u'”'), qPrintable(entry.refusal));
        QVERIFY(entry.refusal.contains(formatDueDate(localTime("2024-03-11 09:30:00")))); // an example

        QCOMPARE(int(readDueDateEntry(" \t").kind), int(DueDateEntry::Kind::Clear));
    }
};

QTEST_GUILESS_MAIN(TestDueDateEntry)
#include "tst_due_date_entry.moc"
