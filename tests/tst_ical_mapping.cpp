// Items as iCalendar to-dos: each key to its property and back, every period, what other clients
// change, and a whole list's tree there and back.
#include "ical_fixture.h"

#include "archive/color_value.h"
#include "ical/calendar_zone.h"
#include "ical/kept_calendar_text.h"
#include "ical/todo_import.h"
#include "minder/notice_moment.h"
#include "model/item_codes.h"
#include "model/item_uids.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "rich_text/notes_text.h"

#include <QTemporaryDir>

using namespace tardigo;

namespace {

QByteArray richNotes(const QString& text) {
    TextRun bold;
    bold.text = text;
    bold.bold = true;
    return encodeNotes(RichText::fromRuns({bold}));
}

Value at(const char* text) {
    return storedDateString(test::localTime(QString::fromLatin1(text)));
}
/// The calendar's text after a change to its to-do, written back as a sync writes it.
QByteArray rewritten(const QByteArray& text, const std::function<void(TodoContent&)>& change) {
    const test::ReadBack back = test::readFirstTodo(text);
    if (!back.todo)
        return {};
    TodoContent content = readTodo(back.todo);
    change(content);
    updateTodo(back.todo, content, {});
    addZonesNamed(back.read.components.front().get());
    return keptCalendarText(text, back.read.components.front().get());
}

Value mark(const char* local) {
    return Date{referenceSecondsFromDateTime(test::localTime(QString::fromLatin1(local))) + 0.25};
}

} // namespace

class TestIcalMapping : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::startCalendarTest(); }

    void everyKeyHasItsProperty_data() {
        QTest::addColumn<NodePtr>("keys");
        QTest::addColumn<QString>("property");
        const Value yes = Value::boolean(true), no = Value::boolean(false);
        QTest::newRow("name") << test::itemWith({{key::name, "Water the plants, then; rest"}})
                              << "SUMMARY:Water the plants\\, then\\; rest";
        QTest::newRow("category") << test::itemWith({{key::category, "Home,Garden; outside"}})
                                  << "CATEGORIES:Home,Garden; outside";
        QTest::newRow("due") << test::itemWith({{key::due, at("2024-06-03 09:30:00")}})
                             << "DUE;TZID=Europe/Berlin:20240603T093000";
        QTest::newRow("due in another zone") << test::itemWith({{key::due, "2024-06-03 09:30:00 -0500"}})
                                             << "DUE;X-TARDIGO-OFFSET=-0500:20240603T143000Z";
        QTest::newRow("created") << test::itemWith({{key::dateCreated, at("2024-01-02 08:00:00")}})
                                 << "CREATED:20240102T070000Z";
        QTest::newRow("half done") << test::itemWith({{key::completion, Value::float32(0.5)}})
                                   << "STATUS:IN-PROCESS\r\nPERCENT-COMPLETE:50";
        QTest::newRow("a third done") << test::itemWith({{key::completion, Value::float32(0.333)}})
                                      << "PERCENT-COMPLETE:33\r\nX-TARDIGO-COMPLETION:0.33";
        QTest::newRow("all but done")
            << test::itemWith({{key::completion, Value::float32(0.999)}}) << "PERCENT-COMPLETE:99";
        QTest::newRow("done") << test::itemWith({{key::completion, yes},
                                                 {key::dateCompleted, at("2024-06-02 18:00:00")}})
                              << "STATUS:COMPLETED\r\nPERCENT-COMPLETE:100\r\nCOMPLETED:20240602T160000Z";
        QTest::newRow("completed, then reopened")
            << test::itemWith(
                   {{key::completion, Value::float32(0)}, {key::dateCompleted, at("2024-06-02 18:00:00")}})
            << "X-TARDIGO-DATE-COMPLETED:2024-06-02 18:00:00 +0200";
        // libical writes no year past 3000: such a date rides in its own property instead of
        // becoming a line of zeros that makes the whole calendar unreadable.
        QTest::newRow("due in the last year iCalendar holds")
            << test::itemWith({{key::due, "3000-12-31 23:59:59 +0100"}}) << "DUE:30001231T225959Z";
        QTest::newRow("created and due past it")
            << test::itemWith(
                   {{key::dateCreated, "3001-01-01 00:00:00 +0000"}, {key::due, "3456-01-02 09:30:00 +0100"}})
            << "X-TARDIGO-CREATED:3001-01-01 00:00:00 +0000\r\nX-TARDIGO-DUE:3456-01-02 09:30:00 +0100";
        QTest::newRow("completed past it")
            << test::itemWith({{key::completion, yes}, {key::dateCompleted, "6024-06-02 18:00:00 +0200"}})
            << "PERCENT-COMPLETE:100\r\nX-TARDIGO-DATE-COMPLETED:6024-06-02 18:00:00 +0200";
        QTest::newRow("notes") << test::itemWith({{key::notes, Value::data(richNotes("Bring\nthe key"))}})
                               << "DESCRIPTION:Bring\\nthe key\r\nX-TARDIGO-NOTES:";
        QTest::newRow("icon") << test::itemWith({{key::icon, "vk_heart"}, {key::thisIconOnly, yes}})
                              << "X-TARDIGO-ICON:vk_heart\r\nX-TARDIGO-ICON-ONLY:1";
        QTest::newRow("font") << test::itemWith(
                                     {{key::fontName, "Optima-Bold"}, {key::fontSize, Value::float32(14)}})
                              << "X-TARDIGO-FONT-NAME:Optima-Bold\r\nX-TARDIGO-FONT-SIZE:14";
        QTest::newRow("colour") << test::itemWith(
                                       {{key::color, Value::data(colorDataFromRgba({0.9f, 0.1f, 0.1f, 1}))}})
                                << "COLOR:crimson\r\nX-TARDIGO-COLOR:";
        QTest::newRow("reminder before due")
            << test::itemWith({{key::due, at("2024-06-03 09:30:00")},
                               {key::reminderSet, yes},
                               {key::reminderTimeLength, Value::float32(1.5)},
                               {key::reminderTimeUnit, Value::integer(1)},
                               {key::reminderMarkDueDate, yes},
                               {key::reminderMarkNow, no},
                               {key::reminderRepeat, no},
                               {key::reminderMark, mark("2024-06-01 10:00:00")}})
            << "TRIGGER;RELATED=END:-PT1H30M";
        QTest::newRow("reminder from a moment")
            << test::itemWith({{key::reminderSet, yes},
                               {key::reminderTimeLength, Value::float32(30)},
                               {key::reminderTimeUnit, Value::integer(0)},
                               {key::reminderMarkDueDate, no},
                               {key::reminderMarkNow, yes},
                               {key::reminderRepeat, yes},
                               {key::reminderMark, mark("2024-06-01 10:00:00")}})
            << "TRIGGER;VALUE=DATE-TIME:20240601T083000Z";
        QTest::newRow("reminder off")
            << test::itemWith({{key::reminderSet, no}, {key::reminderTimeLength, Value::float32(2)}})
            << "X-TARDIGO-REMINDER:set=0 length=2";
        QTest::newRow("uid") << test::itemWith({{key::uid, "7f3a@example.org"}}) << "UID:7f3a@example.org";
        QTest::newRow("a rule kept from elsewhere")
            << test::itemWith({{key::importedRepeatRule, "FREQ=DAILY;INTERVAL=3"}})
            << "X-TARDIGO-RRULE:FREQ=DAILY;INTERVAL=3";
    }

    // Each key comes back as it went, through the property it belongs in: a field written into
    // another's property fails here twice.
    void everyKeyHasItsProperty() {
        QFETCH(NodePtr, keys);
        QFETCH(QString, property);
        const QByteArray text = test::todoText(*keys);
        QVERIFY2(text.contains(property.toUtf8()), text.constData());
        const test::ReadBack back = test::readFirstTodo(text);
        QVERIFY2(back.todo, qPrintable(back.read.error));
        QCOMPARE(icalcomponent_count_errors(back.read.components.front().get()), 0);
        const TodoContent content = readTodo(back.todo);
        for (const auto& [key, value] : keys->entries)
            QVERIFY2(content.item->value(key) == value, qPrintable(key));
    }

    void periodsAreRules_data() {
        QTest::addColumn<qint64>("period");
        QTest::addColumn<QString>("property");
        QTest::newRow("none") << qint64(0) << "X-TARDIGO-PERIOD:0";
        QTest::newRow("daily") << qint64(1) << "RRULE:FREQ=DAILY\r\n";
        QTest::newRow("weekly") << qint64(2) << "RRULE:FREQ=WEEKLY\r\n";
        QTest::newRow("monthly by position") << qint64(3) << "RRULE:FREQ=MONTHLY;BYDAY=2TU\r\n";
        QTest::newRow("monthly by number") << qint64(4) << "RRULE:FREQ=MONTHLY\r\n";
        QTest::newRow("6-monthly") << qint64(5) << "RRULE:FREQ=MONTHLY;INTERVAL=6\r\n";
        QTest::newRow("yearly") << qint64(6) << "RRULE:FREQ=YEARLY\r\n";
        QTest::newRow("2-yearly") << qint64(7) << "RRULE:FREQ=YEARLY;INTERVAL=2\r\n";
        QTest::newRow("often") << qint64(8) << "X-TARDIGO-PERIOD:8";
        QTest::newRow("infrequent") << qint64(9) << "X-TARDIGO-PERIOD:9";
        QTest::newRow("fortnightly") << qint64(10) << "RRULE:FREQ=WEEKLY;INTERVAL=2\r\n";
        QTest::newRow("quarterly") << qint64(11) << "RRULE:FREQ=MONTHLY;INTERVAL=3\r\n";
    }

    void periodsAreRules() {
        QFETCH(qint64, period);
        QFETCH(QString, property);
        // Tuesday 13 May 2003, the second Tuesday of its month.
        const NodePtr item = test::itemWith(
            {{key::due, at("2003-05-13 09:00:00")}, {key::dateDueRepeatPeriod, Value::integer(period)}});
        const QByteArray text = test::todoText(*item);
        QVERIFY2(text.contains(property.toUtf8()), text.constData());
        const TodoContent content = readTodo(test::readFirstTodo(text).todo);
        QCOMPARE(content.item->value(key::dateDueRepeatPeriod), Value::integer(period));
        QVERIFY(!content.item->contains(key::importedRepeatRule));
    }

    void otherClientsRules_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<qint64>("period"); // -1: no period expresses it
        QTest::newRow("weekly on the due weekday") << "FREQ=WEEKLY;BYDAY=TU" << qint64(2);
        QTest::newRow("monthly on the due day") << "FREQ=MONTHLY;BYMONTHDAY=13" << qint64(4);
        QTest::newRow("yearly on the due date") << "FREQ=YEARLY;BYMONTH=5;BYMONTHDAY=13" << qint64(6);
        QTest::newRow("every 3 days") << "FREQ=DAILY;INTERVAL=3" << qint64(-1);
        QTest::newRow("several weekdays") << "FREQ=WEEKLY;BYDAY=MO,WE" << qint64(-1);
        QTest::newRow("another weekday") << "FREQ=WEEKLY;BYDAY=WE" << qint64(-1);
        QTest::newRow("last Tuesday") << "FREQ=MONTHLY;BYDAY=-1TU" << qint64(-1);
        QTest::newRow("five times") << "FREQ=DAILY;COUNT=5" << qint64(-1);
    }

    // A rule no period expresses is kept as it came, and the item does not repeat here.
    void otherClientsRules() {
        QFETCH(QString, rule);
        QFETCH(qint64, period);
        const NodePtr item =
            test::itemWith({{key::uid, "r1"}, {key::name, "Water"}, {key::due, at("2003-05-13 09:00:00")}});
        QByteArray text = test::todoText(*item);
        text.replace("END:VTODO", "RRULE:" + rule.toLatin1() + "\r\nEND:VTODO");
        const test::ReadBack back = test::readFirstTodo(text);
        const TodoContent content = readTodo(back.todo);
        if (period >= 0) {
            QCOMPARE(content.item->value(key::dateDueRepeatPeriod), Value::integer(period));
            return;
        }
        QVERIFY(!content.item->contains(key::dateDueRepeatPeriod));
        QCOMPARE(content.item->value(key::importedRepeatRule), Value(rule));
        CalendarTodos todos = todosIn(back.read);
        const NodePtr root = Dict::create();
        const TodoImport imported = importTodos(*root, todos, QStringLiteral("rules.ics"));
        QCOMPARE(imported.keptRules, QStringList{"Water"});
        // Written back unchanged when nothing about the repeat changed.
        updateTodo(back.todo, content, {});
        QVERIFY(icalText(back.todo).contains(("RRULE:" + rule).toLatin1()));
    }

    void whatOtherClientsChange_data() {
        QTest::addColumn<NodePtr>("item");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("key");
        QTest::addColumn<Value>("expected");
        const Value yes = Value::boolean(true), no = Value::boolean(false);
        const NodePtr open = test::itemWith({{key::completion, Value::float32(0)}});
        QTest::newRow("marked done") << open << "STATUS:NEEDS-ACTION"
                                     << "STATUS:COMPLETED" << key::completion << Value::float32(1);
        const NodePtr done = test::itemWith({{key::completion, yes}});
        QTest::newRow("reopened, 100 % left behind")
            << done << "STATUS:COMPLETED"
            << "STATUS:NEEDS-ACTION" << key::completion << Value::float32(0);
        const NodePtr third = test::itemWith({{key::completion, Value::float32(0.333)}});
        QTest::newRow("percentage moved") << third << "PERCENT-COMPLETE:33"
                                          << "PERCENT-COMPLETE:60" << key::completion << Value::float32(0.6);
        QTest::newRow("percentage kept") << third << "STATUS:IN-PROCESS"
                                         << "STATUS:IN-PROCESS" << key::completion << Value::float32(0.333);
        const NodePtr noted = test::itemWith({{key::notes, Value::data(richNotes("Bring the key"))}});
        QTest::newRow("notes kept") << noted << "DESCRIPTION:Bring the key"
                                    << "DESCRIPTION:Bring the key\\n"
                                    << key::notes << Value::data(richNotes("Bring the key"));
        TextRun plain;
        plain.text = QStringLiteral("Bring both keys");
        QTest::newRow("notes edited") << noted << "DESCRIPTION:Bring the key"
                                      << "DESCRIPTION:Bring both keys" << key::notes
                                      << Value::data(encodeNotes(RichText::fromRuns({plain})));
        const NodePtr red = test::itemWith({{key::color, Value::data(colorDataFromRgba({1, 0, 0, 1}))}});
        QTest::newRow("colour changed")
            << red << "COLOR:red"
            << "COLOR:#0000ff" << key::color << Value::data(colorDataFromRgba({0, 0, 1, 1}));
        const NodePtr sized = test::itemWith({{key::fontSize, Value::float32(14)}});
        QTest::newRow("font size past a float's range")
            << sized << "X-TARDIGO-FONT-SIZE:14"
            << "X-TARDIGO-FONT-SIZE:1.4e44" << key::fontSize << Value();
        const NodePtr reminded = test::itemWith({{key::due, at("2024-06-03 09:30:00")},
                                                 {key::reminderSet, yes},
                                                 {key::reminderTimeLength, Value::float32(2)},
                                                 {key::reminderTimeUnit, Value::integer(1)},
                                                 {key::reminderMarkDueDate, yes},
                                                 {key::reminderMarkNow, no}});
        QTest::newRow("alarm moved") << reminded << "-PT2H"
                                     << "-PT3H" << key::reminderTimeLength << Value::float32(3);
        QTest::newRow("alarm moved to minutes") << reminded << "-PT2H"
                                                << "-PT95M" << key::reminderTimeLength << Value::float32(95);
        QTest::newRow("alarm removed") << reminded << "TRIGGER;RELATED=END:-PT2H"
                                       << "TRIGGER;RELATED=START:-PT2H" << key::reminderSet << no;
        const NodePtr due = test::itemWith({{key::due, at("2024-06-03 09:30:00")}});
        QTest::newRow("all-day due date, due at the day's end")
            << due << "DUE;TZID=Europe/Berlin:20240603T093000"
            << "DUE;VALUE=DATE:20240605" << key::due << at("2024-06-05 23:59:00");
        QTest::newRow("due in a named zone")
            << due << "DUE;TZID=Europe/Berlin:20240603T093000"
            << "DUE;TZID=America/New_York:20240603T080000" << key::due << at("2024-06-03 14:00:00");
        QTest::newRow("due in UTC") << due << "DUE;TZID=Europe/Berlin:20240603T093000"
                                    << "DUE:20240603T100000Z" << key::due << at("2024-06-03 12:00:00");
        QTest::newRow("due floating, in the user's own time")
            << due << "DUE;TZID=Europe/Berlin:20240603T093000"
            << "DUE:20240603T100000" << key::due << at("2024-06-03 10:00:00");
        const NodePtr created = test::itemWith({{key::dateCreated, at("2024-01-02 08:00:00")}});
        QTest::newRow("created without its Z, in UTC as iCalendar holds it")
            << created << "CREATED:20240102T070000Z"
            << "CREATED:20240102T070000" << key::dateCreated << at("2024-01-02 08:00:00");
        const NodePtr finished =
            test::itemWith({{key::completion, yes}, {key::dateCompleted, at("2024-06-02 18:00:00")}});
        QTest::newRow("completed without its Z")
            << finished << "COMPLETED:20240602T160000Z"
            << "COMPLETED:20240602T160000" << key::dateCompleted << at("2024-06-02 18:00:00");
    }

    void whatOtherClientsChange() {
        QFETCH(NodePtr, item);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, key);
        QFETCH(Value, expected);
        QByteArray text = test::todoText(*item);
        QVERIFY2(text.contains(from.toUtf8()), text.constData());
        text.replace(from.toUtf8(), to.toUtf8());
        const test::ReadBack back = test::readFirstTodo(text);
        QVERIFY2(back.todo, qPrintable(back.read.error));
        QVERIFY(readTodo(back.todo).item->value(key) == expected);
    }

    void dueDatesInTheUsersZone_data() {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("due"); // a wall time of the zone
        QTest::newRow("Berlin in winter") << "Europe/Berlin"
                                          << "2024-01-15 09:00:00";
        QTest::newRow("Berlin in summer") << "Europe/Berlin"
                                          << "2024-07-15 09:00:00";
        QTest::newRow("the morning of a change") << "Europe/Berlin"
                                                 << "2024-03-31 03:30:00";
        QTest::newRow("New York, the second Sunday") << "America/New_York"
                                                     << "2024-03-10 12:00:00";
        QTest::newRow("Sydney, its summer in January") << "Australia/Sydney"
                                                       << "2024-01-20 08:00:00";
        QTest::newRow("Tokyo, no changes") << "Asia/Tokyo"
                                           << "2024-07-15 09:00:00";
    }

    // The zone is written by its plain name with a VTIMEZONE of its rules, and a reader that knows
    // only the VTIMEZONE (as libical here) finds the same instant.
    void dueDatesInTheUsersZone() {
        QFETCH(QString, zone);
        QFETCH(QString, due);
        const std::optional<CalendarZone> calendarZone = CalendarZone::named(zone.toLatin1(), 2024);
        QVERIFY(calendarZone);
        const QDateTime wall = QDateTime::fromString(due, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QDateTime instant(wall.date(), wall.time(), calendarZone->zone());
        QVERIFY(calendarZone->holds(instant));
        const QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:test\r\n" +
                                icalText(calendarZone->component().get()) +
                                "BEGIN:VTODO\r\nUID:z\r\nDUE;TZID=" + zone.toLatin1() + ":" +
                                wall.toString(QStringLiteral("yyyyMMddTHHmmss")).toLatin1() +
                                "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        QVERIFY2(!text.contains("freeassociation"), text.constData());
        const test::ReadBack back = test::readFirstTodo(text);
        QVERIFY2(back.todo, qPrintable(back.read.error));
        icalproperty* property = icalcomponent_get_first_property(back.todo, ICAL_DUE_PROPERTY);
        const icaltimetype read = icalproperty_get_datetime_with_component(property, back.todo);
        QVERIFY(read.zone); // by the calendar's VTIMEZONE, not the system's zones
        QCOMPARE(qint64(icaltime_as_timet_with_zone(read, read.zone)), instant.toSecsSinceEpoch());

        // The user's own zone goes so from an item's due date, and comes back the same.
        if (zone != QLatin1String("Europe/Berlin"))
            return;
        const NodePtr item = test::itemWith({{key::due, storedDateString(instant.toLocalTime())}});
        const QByteArray written = test::todoText(*item);
        QVERIFY2(written.contains("DUE;TZID=Europe/Berlin:" +
                                  wall.toString(QStringLiteral("yyyyMMddTHHmmss")).toLatin1()) &&
                     written.contains("BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"),
                 written.constData());
        QCOMPARE(readTodo(test::readFirstTodo(written).todo).item->value(key::due), item->value(key::due));
    }

    // The hour that comes twice in autumn is written in UTC: the zone's name cannot tell which.
    void anHourThatComesTwiceIsWrittenInUtc() {
        const QString secondTime = QStringLiteral("2024-10-27 02:30:00 +0100");
        const QByteArray written = test::todoText(*test::itemWith({{key::due, secondTime}}));
        QVERIFY2(written.contains("DUE:20241027T013000Z"), written.constData());
        QCOMPARE(readTodo(test::readFirstTodo(written).todo).item->value(key::due), Value(secondTime));
    }

    // A repeating item's rule starts at its due date, in the zone, so that other clients keep its
    // local time across changes of daylight-saving time; a start another client set stays its own.
    void repeatingItemsStartAtTheirDueDate() {
        const NodePtr weekly = test::itemWith({{key::due, at("2024-03-25 09:00:00")},
                                               {key::dateDueRepeatPeriod, Value::integer(WeeklyPeriod)}});
        QByteArray text = test::todoText(*weekly);
        QVERIFY2(text.contains("DTSTART;TZID=Europe/Berlin:20240325T090000") &&
                     text.contains("RRULE:FREQ=WEEKLY"),
                 text.constData());
        test::ReadBack back = test::readFirstTodo(text);
        TodoContent content = readTodo(back.todo);
        content.item->set(key::due, at("2024-04-01 09:00:00"));
        updateTodo(back.todo, content, {});
        text = icalText(back.todo);
        QVERIFY2(text.contains("DTSTART;TZID=Europe/Berlin:20240401T090000"), text.constData());

        text.replace("DTSTART;TZID=Europe/Berlin:20240401T090000",
                     "DTSTART;TZID=Europe/Berlin:20240320T080000");
        back = test::readFirstTodo("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n" + text +
                                   "END:VCALENDAR\r\n");
        content = readTodo(back.todo);
        content.item->set(key::due, at("2024-04-08 09:00:00"));
        updateTodo(back.todo, content, {});
        text = icalText(back.todo);
        QVERIFY2(text.contains("DTSTART;TZID=Europe/Berlin:20240320T080000") &&
                     text.contains("DUE;TZID=Europe/Berlin:20240408T090000"),
                 text.constData());
    }

    // A day without a time is due at its end and stays a day while the due date stays on a day's
    // end; a time makes it a time.
    void aDayStaysADay() {
        const QByteArray day = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:d\r\n"
                               "SUMMARY:Rent\r\nDUE;VALUE=DATE:20240603\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        const test::ReadBack back = test::readFirstTodo(day);
        TodoContent content = readTodo(back.todo);
        QCOMPARE(content.item->value(key::due), at("2024-06-03 23:59:00"));
        content.item->set(key::name, "Pay the rent");
        updateTodo(back.todo, content, {});
        QVERIFY(icalText(back.todo).contains("DUE;VALUE=DATE:20240603\r\n"));
        content.item->set(key::due, at("2024-06-05 23:59:00"));
        updateTodo(back.todo, content, {});
        QVERIFY(icalText(back.todo).contains("DUE;VALUE=DATE:20240605\r\n"));
        content.item->set(key::due, at("2024-06-05 10:00:00"));
        updateTodo(back.todo, content, {});
        QVERIFY2(icalText(back.todo).contains("DUE;TZID=Europe/Berlin:20240605T100000\r\n"),
                 icalText(back.todo).constData());
    }

    void oneAlarmIsTheReminder_data() {
        QTest::addColumn<QByteArray>("alarms");
        QTest::addColumn<QString>("reminder"); // "" for none, else the moment it comes
        const auto alarm = [](const QByteArray& lines) {
            return "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\n" + lines + "END:VALARM\r\n";
        };
        const QByteArray at8 = alarm("TRIGGER;VALUE=DATE-TIME:20240603T060000Z\r\n");
        QTest::newRow("an absolute one") << at8 << "2024-06-03 08:00:00";
        QTest::newRow("before the due date")
            << alarm("TRIGGER;RELATED=END:-PT30M\r\n") << "2024-06-03 08:30:00";
        QTest::newRow("before a start of the writer's own")
            << QByteArray("DTSTART;TZID=Europe/Berlin:20240601T080000\r\n") + alarm("TRIGGER:-PT30M\r\n")
            << "";
        QTest::newRow("before a start that is the due date")
            << QByteArray("DTSTART;TZID=Europe/Berlin:20240603T090000\r\n") + alarm("TRIGGER:-PT30M\r\n")
            << "2024-06-03 08:30:00";
        QTest::newRow("at a place (Apple's)")
            << alarm("TRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\nX-APPLE-PROXIMITY:ARRIVE\r\n"
                     "X-APPLE-STRUCTURED-LOCATION;VALUE=URI;X-TITLE=Home:geo:52.5,13.4\r\n")
            << "";
        QTest::newRow("at a place (RFC 9074), then at a time")
            << alarm("TRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\nPROXIMITY:DEPART\r\n") + at8
            << "2024-06-03 08:00:00";
        QTest::newRow("the first of two at a time")
            << at8 + alarm("TRIGGER;VALUE=DATE-TIME:20240603T050000Z\r\n") << "2024-06-03 08:00:00";
        QTest::newRow("acknowledged when it came")
            << alarm("TRIGGER;VALUE=DATE-TIME:20240603T060000Z\r\nACKNOWLEDGED:20240603T060130Z\r\n") << "";
        QTest::newRow("acknowledged before it came: it comes")
            << alarm("TRIGGER;VALUE=DATE-TIME:20240603T060000Z\r\nACKNOWLEDGED:20240602T060130Z\r\n")
            << "2024-06-03 08:00:00";
    }

    // The reminder is the first alarm at a time; one at a place is never one, whatever its trigger
    // says, and one acknowledged elsewhere once it came does not come again here.
    void oneAlarmIsTheReminder() {
        QFETCH(QByteArray, alarms);
        QFETCH(QString, reminder);
        const test::ReadBack back = test::readFirstTodo(
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:r\r\nSUMMARY:Bike\r\n"
            "DUE;TZID=Europe/Berlin:20240603T090000\r\n" +
            alarms + "END:VTODO\r\nEND:VCALENDAR\r\n");
        QVERIFY2(back.todo, qPrintable(back.read.error));
        const NodePtr item = newToDoItem();
        applyTodo(*item, readTodo(back.todo));
        const std::optional<qint64> comes =
            reminderMoment(*item, test::localTime(QStringLiteral("2024-06-01 10:00:00")).toMSecsSinceEpoch());
        QCOMPARE(comes.has_value(), !reminder.isEmpty());
        if (comes)
            QCOMPARE(QDateTime::fromMSecsSinceEpoch(*comes), test::localTime(reminder));
    }

    // The reminder moves within its alarm: the alarm keeps what its writer put in it, and every
    // other alarm stays as it was.
    void theReminderMovesInItsAlarm() {
        const QByteArray apple =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:r\r\nSUMMARY:Bike\r\n"
            "BEGIN:VALARM\r\nX-WR-ALARMUID:A1\r\nUID:A1\r\nTRIGGER;VALUE=DATE-TIME:20240603T060000Z\r\n"
            "DESCRIPTION:Reminder\r\nACTION:DISPLAY\r\nEND:VALARM\r\nBEGIN:VALARM\r\nX-WR-ALARMUID:A2\r\n"
            "TRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\nACTION:DISPLAY\r\nX-APPLE-PROXIMITY:ARRIVE\r\n"
            "END:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        const QByteArray text = rewritten(apple, [](TodoContent& content) {
            content.item->set(
                key::reminderMark,
                Date{referenceSecondsFromDateTime(test::localTime(QStringLiteral("2024-06-03 06:59:00")))});
            content.item->set(key::name, "Pick up the bike");
        });
        QVERIFY2(
            text.contains(
                "BEGIN:VALARM\r\nX-WR-ALARMUID:A1\r\nUID:A1\r\nTRIGGER;VALUE=DATE-TIME:20240603T050000Z\r\n"
                "DESCRIPTION:Reminder\r\nACTION:DISPLAY\r\nEND:VALARM\r\n") &&
                text.contains(
                    "BEGIN:VALARM\r\nX-WR-ALARMUID:A2\r\nTRIGGER;VALUE=DATE-TIME:19760401T005545Z\r\n"
                    "ACTION:DISPLAY\r\nX-APPLE-PROXIMITY:ARRIVE\r\nEND:VALARM\r\n"),
            text.constData());
        // Turned off, the alarm goes and the one at a place stays.
        const QByteArray off = rewritten(
            text, [](TodoContent& content) { content.item->set(key::reminderSet, Value::boolean(false)); });
        QVERIFY2(!off.contains("A1") && off.contains("X-WR-ALARMUID:A2"), off.constData());
    }

    // A cancelled to-do is done, reminds of nothing and does not come round again here; it stays
    // cancelled while it stays done, and each change counts in its SEQUENCE.
    void aCancelledTodoStaysCancelled() {
        const QByteArray cancelled =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:c\r\nSUMMARY:Workshop\r\n"
            "DUE;VALUE=DATE:20240620\r\nRRULE:FREQ=WEEKLY\r\nSTATUS:CANCELLED\r\nSEQUENCE:2\r\n"
            "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Workshop\r\n"
            "TRIGGER;VALUE=DATE-TIME:20240619T070000Z\r\nEND:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        const TodoContent content = readTodo(test::readFirstTodo(cancelled).todo);
        QCOMPARE(content.item->value(key::completion), Value::float32(1));
        QVERIFY(!flagOf(*content.item, key::reminderSet));
        QVERIFY(!content.item->contains(key::dateDueRepeatPeriod));
        QCOMPARE(content.item->value(key::importedRepeatRule), Value("FREQ=WEEKLY"));
        const QByteArray renamed = rewritten(cancelled, [](TodoContent& changed) {
            changed.item->set(key::name, "Register for the workshop");
        });
        QVERIFY2(renamed.contains("STATUS:CANCELLED\r\n") && renamed.contains("SEQUENCE:3\r\n") &&
                     renamed.contains("TRIGGER;VALUE=DATE-TIME:20240619T070000Z") &&
                     renamed.contains("RRULE:FREQ=WEEKLY\r\n"),
                 renamed.constData());
        const QByteArray reopened = rewritten(
            renamed, [](TodoContent& changed) { changed.item->set(key::completion, Value::float32(0)); });
        QVERIFY(reopened.contains("STATUS:NEEDS-ACTION") && reopened.contains("SEQUENCE:4"));
    }

    // An alarm past the year 3000 is left out rather than written as a trigger of zeros that
    // makes the calendar unreadable; its settings still travel.
    void anAlarmPastTheYear3000IsLeftOut() {
        const Value yes = Value::boolean(true), no = Value::boolean(false);
        const NodePtr item = test::itemWith({{key::reminderSet, yes},
                                             {key::reminderTimeLength, Value::float32(30)},
                                             {key::reminderTimeUnit, Value::integer(0)},
                                             {key::reminderMarkDueDate, no},
                                             {key::reminderMarkNow, yes},
                                             {key::reminderMark, mark("3456-06-01 10:00:00")}});
        const QByteArray text = test::todoText(*item);
        QVERIFY2(!text.contains("TRIGGER") && text.contains("X-TARDIGO-REMINDER:set=1"), text.constData());
        const test::ReadBack back = test::readFirstTodo(text);
        QVERIFY2(back.todo, qPrintable(back.read.error));
    }

    // Rewriting a to-do another client wrote changes only the lines of what the item changed: every
    // other line stays as it came, folding, line ends, its own parameters and all, and so do what
    // libical cannot read and the components it does not know.
    void rewritingKeepsWhatWeDoNotOwn() {
        const QByteArray foreign =
            "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Other//EN\nBEGIN:VTODO\n"
            "UID:f1\nSUMMARY;LANGUAGE=en:Pay rent\nDUE;VALUE=DATE:20240605\nCATEGORIES:Home\n"
            "CATEGORIES:Money,Bills\nX-OTHER-FLAG;X-SET-BY=phone:starred\nPRIORITY:1\nGEO:52.5;13.4\n"
            "LAST-MOD:20240601T000000Z\nDTSTAMP:20240601T000000Z\nSEQUENCE:4\n"
            "DESCRIPTION:A note folded over\n  two lines\nRELATED-TO;RELTYPE=SIBLING:f2\n"
            "BEGIN:VLOCATION\nUID:l1\nNAME:Bank\nEND:VLOCATION\nBEGIN:VALARM\nACTION:AUDIO\n"
            "TRIGGER:-PT10M\nEND:VALARM\nEND:VTODO\nEND:VCALENDAR\n";
        QCOMPARE(readTodo(test::readFirstTodo(foreign).todo).item->value(key::category),
                 Value("Home,Money,Bills"));
        const QByteArray renamed =
            rewritten(foreign, [](TodoContent& content) { content.item->set(key::name, "Pay the rent"); });
        // Each line as it came, in its order, but the name, the stamp, and the count of changes.
        QByteArrayList lines = foreign.split('\n');
        lines.removeIf([](const QByteArray& line) {
            return line.startsWith("SUMMARY") || line.startsWith("DTSTAMP") || line.startsWith("SEQUENCE");
        });
        qsizetype from = 0;
        for (const QByteArray& line : lines) {
            from = renamed.indexOf(line + '\n', from);
            QVERIFY2(from >= 0, qPrintable(QString::fromUtf8(line + '\n' + renamed)));
        }
        QVERIFY(renamed.contains("SUMMARY:Pay the rent\r\n") && renamed.contains("SEQUENCE:5\r\n"));
        QCOMPARE(renamed.count("SUMMARY"), 1);

        // A due date with a time, in the user's zone by its name, with that zone in the calendar.
        const auto setDue = [](TodoContent& content) {
            content.item->set(key::due, at("2024-06-06 10:00:00"));
        };
        const QByteArray timed = rewritten(renamed, setDue);
        QVERIFY2(timed.contains("DUE;TZID=Europe/Berlin:20240606T100000\r\n") &&
                     !timed.contains("20240605") &&
                     timed.contains("BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"),
                 timed.constData());
        QVERIFY(timed.contains("LAST-MOD:20240601T000000Z\nDTSTAMP"));

        // A line libical cannot read gives way to a property of its name written anew.
        QByteArray unreadDue = foreign;
        unreadDue.replace("DUE;VALUE=DATE:20240605", "DUE:soon");
        QVERIFY(!readTodo(test::readFirstTodo(unreadDue).todo).item->contains(key::due));
        const QByteArray due = rewritten(unreadDue, setDue);
        QVERIFY(!due.contains("DUE:soon") && due.contains("LAST-MOD:") && due.contains("DUE;TZID="));
    }

    // A list there and back: the same tree, the same values, and a calendar other readers accept.
    void listRoundTrip() {
        const NodePtr root = Dict::create();
        root->set(key::children, Array::create());
        const auto add = [](const NodePtr& parent, const NodePtr& item) {
            item->set(key::dateCreated, at("2024-01-02 08:00:00"));
            if (!parent->contains(key::children))
                parent->set(key::children, Array::create());
            childrenOf(*parent)->items.push_back(item);
            return item;
        };
        const Value yes = Value::boolean(true);
        const NodePtr house = add(root, test::itemWith({{key::name, "House"}, {key::category, "Home"}}));
        add(house, test::itemWith({{key::name, "Roof"},
                                   {key::due, at("2024-07-01 10:00:00")},
                                   {key::dateDueRepeatPeriod, Value::integer(6)},
                                   {key::completion, Value::float32(0.25)}}));
        const NodePtr garden = add(house, test::itemWith({{key::name, "Garden"}, {key::completion, yes}}));
        add(garden, test::itemWith({{key::name, "Hedge"},
                                    {key::notes, Value::data(richNotes("Both sides"))},
                                    {key::reminderSet, yes},
                                    {key::reminderTimeLength, Value::float32(1)},
                                    {key::reminderTimeUnit, Value::integer(2)},
                                    {key::reminderMarkDueDate, yes},
                                    {key::due, at("2024-08-01 09:00:00")}}));
        add(root, test::itemWith({{key::name, "Taxes"},
                                  {key::due, at("2025-03-31 12:00:00")},
                                  {key::dateDueRepeatPeriod, Value::integer(3)}}));
        assignItemUids(*root);

        const QByteArray text = listCalendarText(*root);
        const CalendarRead read = readCalendar(text, QStringLiteral("list.ics"));
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(icalcomponent_count_errors(read.components.front().get()), 0);
        const NodePtr copy = Dict::create();
        const TodoImport imported = importTodos(*copy, todosIn(read), QStringLiteral("list.ics"));
        QVERIFY(imported.ok());
        QCOMPARE(imported.added, 5);
        QCOMPARE(test::mappedOutline(*copy), test::mappedOutline(*root));

        // Importing it again updates the same items instead of adding them.
        const TodoImport again = importTodos(*copy, todosIn(read), QStringLiteral("list.ics"));
        QCOMPARE(again.updated, 5);
        QCOMPARE(test::mappedOutline(*copy), test::mappedOutline(*root));

        const QString python = test::pythonWithIcalendar();
        if (python.isEmpty())
            QSKIP("Python's icalendar module (python3-icalendar) is not installed");
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("list.ics")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        file.close();
        QProcess check;
        check.start(python, {QStringLiteral("-c"),
                             QStringLiteral(
                                 "import icalendar,sys; c=icalendar.Calendar.from_ical(open(sys.argv[1],'rb')"
                                 ".read()); print(len(c.walk('VTODO')))"),
                             file.fileName()});
        QVERIFY(check.waitForFinished());
        QCOMPARE(check.readAllStandardOutput().trimmed(), QByteArray("5"));
    }
};

QTEST_GUILESS_MAIN(TestIcalMapping)
#include "tst_ical_mapping.moc"
