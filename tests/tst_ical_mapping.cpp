// Items as iCalendar to-dos: each key to its property and back, every period, what other clients
// change, and a whole list's tree there and back.
#include "ical_fixture.h"

#include "archive/color_value.h"
#include "ical/todo_import.h"
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
                             << "DUE:20240603T073000Z";
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
        QTest::newRow("all-day due date")
            << due << "DUE:20240603T073000Z"
            << "DUE;VALUE=DATE:20240605" << key::due << at("2024-06-05 00:00:00");
        QTest::newRow("due in a named zone")
            << due << "DUE:20240603T073000Z"
            << "DUE;TZID=America/New_York:20240603T080000" << key::due << at("2024-06-03 14:00:00");
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

    // Rewriting a to-do another client wrote changes only what the item changed.
    void rewritingKeepsWhatWeDoNotOwn() {
        const QByteArray foreign =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\nBEGIN:VTODO\r\n"
            "UID:f1\r\nSUMMARY:Pay rent\r\nDUE;VALUE=DATE:20240605\r\nCATEGORIES:Home\r\n"
            "CATEGORIES:Money\r\nX-OTHER-FLAG:starred\r\nPRIORITY:1\r\n"
            "RELATED-TO;RELTYPE=SIBLING:f2\r\nBEGIN:VALARM\r\nACTION:AUDIO\r\n"
            "TRIGGER:-PT10M\r\nEND:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        const test::ReadBack back = test::readFirstTodo(foreign);
        TodoContent content = readTodo(back.todo);
        QCOMPARE(content.item->value(key::category), Value("Home,Money"));
        content.item->set(key::name, "Pay the rent");
        updateTodo(back.todo, content, {});
        QByteArray text = icalText(back.read.components.front().get());
        for (const char* kept : {"DUE;VALUE=DATE:20240605", "CATEGORIES:Home\r\nCATEGORIES:Money",
                                 "X-OTHER-FLAG:starred", "PRIORITY:1", "RELATED-TO;RELTYPE=SIBLING:f2",
                                 "TRIGGER:-PT10M", "SUMMARY:Pay the rent", "PRODID:-//Other//EN"})
            QVERIFY2(text.contains(kept), kept);
        content.item->set(key::due, at("2024-06-06 10:00:00"));
        updateTodo(back.todo, content, {});
        text = icalText(back.read.components.front().get());
        QVERIFY(text.contains("DUE:20240606T080000Z"));
        QVERIFY(!text.contains("20240605"));
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
