// Reading calendars that are damaged or hostile: every refusal names the file and the line, and
// a tree the calendar asks for that no list can hold is not built.
#include "ical_fixture.h"

#include "archive/list_file.h"
#include "ical/todo_import.h"
#include "ical/tree_placement.h"
#include "model/item_walk.h"
#include "rich_text/notes_text.h"

using namespace tardigo;

namespace {

QByteArray calendar(const QByteArray& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:test\r\n" + body + "END:VCALENDAR\r\n";
}

QByteArray todo(const QByteArray& uid, const QByteArray& parent = {}) {
    return "BEGIN:VTODO\r\nUID:" + uid + "\r\nSUMMARY:" + uid + "\r\n" +
           (parent.isEmpty() ? QByteArray() : "RELATED-TO:" + parent + "\r\n") + "END:VTODO\r\n";
}

TodoImport importInto(const NodePtr& root, const QByteArray& text) {
    const CalendarRead read = readCalendar(text, QStringLiteral("in.ics"));
    if (!read.ok()) {
        TodoImport refused;
        refused.error = read.error;
        return refused;
    }
    return importTodos(*root, read, QStringLiteral("in.ics"));
}

/// Each item as "name<depth>", in pre-order.
QStringList shape(const Dict& root) {
    QStringList names;
    std::unordered_map<const Dict*, int> depth{{&root, 0}};
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        depth[item.get()] = depth[&parent] + 1;
        names << *item->value(key::name).asString() + QString::number(depth[item.get()]);
    });
    return names;
}

} // namespace

class TestIcalReader : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::startCalendarTest(); }

    void refusals_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << "in.ics holds no iCalendar data";
        QTest::newRow("not a calendar") << QByteArray("hello\nworld\n") << "in.ics, line 1";
        QTest::newRow("a line that is no property")
            << calendar("BEGIN:VTODO\r\nUID:a\r\nnot a property\r\nEND:VTODO\r\n")
            << "in.ics, line 6: libical cannot read “not a property”";
        QTest::newRow("lines counted through folds")
            << calendar("BEGIN:VTODO\r\nSUMMARY:a long\r\n  name\r\n folded\r\nDUE\r\nEND:VTODO\r\n")
            << "in.ics, line 8: libical cannot read “DUE”";
        QTest::newRow("bare line feeds")
            << QByteArray("BEGIN:VCALENDAR\nBEGIN:VTODO\nDUE 2024\nEND:VTODO\nEND:VCALENDAR\n")
            << "in.ics, line 3:";
        QTest::newRow("an end of another component")
            << calendar("BEGIN:VTODO\r\nUID:a\r\nEND:VEVENT\r\nEND:VTODO\r\n")
            << "in.ics, line 6: “END:VEVENT” does not end the VTODO that begins at line 4";
        QTest::newRow("an end of nothing")
            << QByteArray("END:VCALENDAR\r\n") << "in.ics, line 1: “END:VCALENDAR” ends no component";
        QTest::newRow("cut short") << QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:a\r\n")
                                   << "the text ends inside the VCALENDAR that begins at line 1";
        QByteArray deep;
        for (int i = 0; i < 40; ++i)
            deep += "BEGIN:VTODO\r\n";
        QTest::newRow("nested too deep")
            << calendar(deep) << "in.ics, line 19: components nest more than 16 deep";
        QTest::newRow("a NUL byte") << calendar(
                                           QByteArray("BEGIN:VTODO\r\nSUMMARY:a\0b\r\nEND:VTODO\r\n", 36))
                                    << "in.ics, line 5: the line holds a NUL byte";
    }

    void refusals() {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const CalendarRead read = readCalendar(text, QStringLiteral("in.ics"));
        QVERIFY(!read.ok());
        QVERIFY2(read.error.contains(error), qPrintable(read.error));
        QVERIFY(read.components.empty());
    }

    void unreadablePropertiesAreLeftOut_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("leftOut");
        QTest::newRow("a name libical does not know")
            << QByteArray("LAST-MOD:20240529T121530Z")
            << "in.ics, line 6: libical cannot read “LAST-MOD:20240529T121530Z”.";
        QTest::newRow("a value it cannot parse")
            << QByteArray("DUE:tomorrow") << "in.ics, line 6: libical cannot read “DUE:tomorrow”.";
        QTest::newRow("a parameter it cannot parse")
            << QByteArray("DESCRIPTION;LANGUAGE:Bring the key")
            << "in.ics: in the VTODO that begins at line 4, libical could not read all of a property: “Can't "
               "parse parameter name: LANGUAGE”.";
    }

    // A property libical cannot read does not refuse its to-do: the to-do arrives without it, and
    // the import says which line that was.
    void unreadablePropertiesAreLeftOut() {
        QFETCH(QByteArray, line);
        QFETCH(QString, leftOut);
        const NodePtr root = Dict::create();
        const TodoImport imported = importInto(
            root, calendar("BEGIN:VTODO\r\nUID:a\r\n" + line + "\r\nSUMMARY:Rent\r\nEND:VTODO\r\n"));
        QVERIFY2(imported.ok(), qPrintable(imported.error));
        QCOMPARE(::shape(*root), QStringList{"Rent1"});
        QCOMPARE(imported.leftOut.size(), 1);
        QVERIFY2(imported.leftOut.front().startsWith(leftOut), qPrintable(imported.leftOut.front()));
    }

    void treesInEveryForm_data() {
        QTest::addColumn<QByteArray>("todos");
        QTest::addColumn<QStringList>("shape");
        const auto with = [](const QByteArray& uid, const QByteArray& relations) {
            return "BEGIN:VTODO\r\nUID:" + uid + "\r\nSUMMARY:" + uid + "\r\n" + relations + "END:VTODO\r\n";
        };
        QTest::newRow("the child names its parent")
            << with("p", {}) + with("c", "RELATED-TO;RELTYPE=PARENT:p\r\n") << QStringList{"p1", "c2"};
        QTest::newRow("untyped, a parent")
            << with("p", {}) + with("c", "RELATED-TO:p\r\n") << QStringList{"p1", "c2"};
        QTest::newRow("the parent names its children")
            << with("c", {}) + with("p", "RELATED-TO;RELTYPE=CHILD:c\r\nRELATED-TO;RELTYPE=CHILD:d\r\n") +
                   with("d", {})
            << QStringList{"p1", "c2", "d2"};
        QTest::newRow("the child's own word first")
            << with("p", "RELATED-TO;RELTYPE=CHILD:c\r\n") + with("q", {}) +
                   with("c", "RELATED-TO;RELTYPE=PARENT:q\r\n")
            << QStringList{"p1", "q1", "c2"};
        QTest::newRow("other relations never nest")
            << with("a", {}) + with("b", "RELATED-TO;RELTYPE=SIBLING:a\r\nRELATED-TO;RELTYPE=DEPENDS-ON:a\r\n"
                                         "RELATED-TO;RELTYPE=X-BLOCKS:a\r\n")
            << QStringList{"a1", "b1"};
    }

    // Every form of a tree nests, whichever to-do says it; no other relation does.
    void treesInEveryForm() {
        QFETCH(QByteArray, todos);
        QFETCH(QStringList, shape);
        const NodePtr root = Dict::create();
        QVERIFY(importInto(root, calendar(todos)).ok());
        QCOMPARE(::shape(*root), shape);
    }

    // Siblings stand as the clients that share an order show them: by their sort order, else by
    // their creation; one with neither after them.
    void siblingsInTheirSharedOrder() {
        const auto todo = [](const char* name, const QByteArray& order) {
            return "BEGIN:VTODO\r\nUID:" + QByteArray(name) + "\r\nSUMMARY:" + name + "\r\n" + order +
                   "END:VTODO\r\n";
        };
        const NodePtr root = Dict::create();
        QVERIFY(
            importInto(root, calendar(todo("neither", {}) + todo("created", "CREATED:20240520T071502Z\r\n") +
                                      todo("moved before it", "X-APPLE-SORT-ORDER:737882101\r\n") +
                                      todo("an earlier version's", "X-TARDIGO-ORDER:3\r\n") +
                                      todo("later", "X-APPLE-SORT-ORDER:737882103\r\n")))
                .ok());
        QCOMPARE(::shape(*root), (QStringList{"an earlier version's1", "moved before it1", "created1",
                                              "later1", "neither1"}));
    }

    // Empty values are allowed in iCalendar though libical refuses them: they read as absent.
    void emptyValuesReadAsAbsent() {
        const test::ReadBack back =
            test::readFirstTodo(calendar("BEGIN:VTODO\r\nUID:a\r\nSUMMARY:\r\n"
                                         "DESCRIPTION;LANGUAGE=en:\r\n"
                                         "CATEGORIES;X-NOTE=\"a:\":Errands:\r\nEND:VTODO\r\n"));
        QVERIFY2(back.todo, qPrintable(back.read.error));
        const TodoContent content = readTodo(back.todo);
        QCOMPARE(content.item->value(key::name), Value(""));
        QCOMPARE(content.item->value(key::category), Value("Errands:"));
    }

    void hostileTrees_data() {
        QTest::addColumn<QByteArray>("todos");
        QTest::addColumn<QStringList>("shape");
        QTest::newRow("parents of each other") << todo("a", "b") + todo("b", "a") << QStringList{"a1", "b2"};
        QTest::newRow("its own parent") << todo("a", "a") << QStringList{"a1"};
        QTest::newRow("a loop below a tree")
            << todo("r") + todo("a", "c") + todo("b", "a") + todo("c", "b") + todo("d", "r")
            << QStringList{"r1", "d2", "a1", "b2", "c3"};
        QTest::newRow("an unknown parent") << todo("a", "nowhere") << QStringList{"a1"};
        QTest::newRow("one uid twice") << todo("a") + todo("a") << QStringList{"a1"};
    }

    // Loops and unknown parents put items at the top level; no item is lost or held twice.
    void hostileTrees() {
        QFETCH(QByteArray, todos);
        QFETCH(QStringList, shape);
        const NodePtr root = Dict::create();
        const TodoImport imported = importInto(root, calendar(todos));
        QVERIFY2(imported.ok(), qPrintable(imported.error));
        QCOMPARE(::shape(*root), shape);
    }

    void tooDeepIsRefused() {
        QByteArray chain = todo("0");
        for (int i = 1; i <= kMaxItemDepth + 5; ++i)
            chain += todo(QByteArray::number(i), QByteArray::number(i - 1));
        const TodoImport imported = importInto(Dict::create(), calendar(chain));
        QVERIFY2(imported.error.contains(
                     QStringLiteral("in.ics nests its to-dos more than %1 levels deep").arg(kMaxItemDepth)),
                 qPrintable(imported.error));
    }

    // A calendar another program wrote, with its own time zone, alarm and rule.
    void aCalendarFromElsewhere() {
        QFile file(QStringLiteral(TARDIGO_TEST_DATA_DIR "/ical/foreign.ics"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const NodePtr root = Dict::create();
        const TodoImport imported = importInto(root, file.readAll());
        QVERIFY2(imported.ok(), qPrintable(imported.error));
        QCOMPARE(imported.others, 1);
        const NodePtr item = test::findItem(*root, QStringLiteral("Quarterly report"));
        QVERIFY(item);
        QCOMPARE(item->value(key::due), Value("2024-06-03 09:30:00 +0200"));
        QCOMPARE(item->value(key::dateDueRepeatPeriod), Value::integer(11));
        QCOMPARE(item->value(key::completion), Value::float32(0.4));
        QCOMPARE(item->value(key::category), Value("Work,Reports"));
        QCOMPARE(notesPlainText(*item->value(key::notes).asData()).value_or(QString()),
                 QStringLiteral("Figures from\n  the sales team"));
        QVERIFY(flagOf(*item, key::reminderSet) && flagOf(*item, key::reminderMarkDueDate));
        QCOMPARE(item->value(key::reminderTimeUnit), Value::integer(2));
        QCOMPARE(item->value(key::reminderTimeLength), Value::float32(1));
    }

    // Other components are passed over and counted, and so are changed instances of a repeating
    // to-do, whose rule lives in their master.
    void othersAreCounted() {
        const NodePtr root = Dict::create();
        const TodoImport imported = importInto(
            root,
            calendar(
                todo("a") +
                "BEGIN:VTODO\r\nUID:a\r\nRECURRENCE-ID:20240601T100000Z\r\nSUMMARY:moved\r\nEND:VTODO\r\n"
                "BEGIN:VEVENT\r\nUID:e\r\nDTSTART:20240601T100000Z\r\nEND:VEVENT\r\n"
                "BEGIN:VJOURNAL\r\nUID:j\r\nEND:VJOURNAL\r\n") +
                "BEGIN:VTODO\r\nUID:outside\r\nEND:VTODO\r\n");
        QVERIFY2(imported.ok(), qPrintable(imported.error));
        QCOMPARE(imported.added, 1);
        QCOMPARE(imported.others, 4);
        QCOMPARE(::shape(*root), QStringList{"a1"});
    }
};

QTEST_GUILESS_MAIN(TestIcalReader)
#include "tst_ical_reader.moc"
