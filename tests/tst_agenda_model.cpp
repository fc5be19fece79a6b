// The agenda as a model over several lists: sections counted from a fixed now, the filters, and
// following the lists as their files and open trees change.
#include "agenda/core/agenda_lists.h"
#include "agenda/core/agenda_model.h"
#include "archive/list_file.h"
#include "document_fixture.h"
#include "model/clock.h"
#include "test_support.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

NodePtr due(const char* name, const char* when, const char* category = nullptr) {
    NodePtr item = makeItem(QString::fromUtf8(name), {{key::due, Value(QString::fromLatin1(when))}});
    if (category)
        item->set(key::category, QString::fromUtf8(category));
    return item;
}

/// Each section with its rows' names, as "Today: a, b".
QStringList shown(const AgendaModel& model) {
    QStringList sections;
    for (int s = 0; s < model.rowCount(); ++s) {
        const QModelIndex section = model.index(s, 0);
        QStringList names;
        for (int row = 0; row < model.rowCount(section); ++row)
            names << model.index(row, AgendaModel::NameColumn, section).data().toString();
        sections << AgendaModel::sectionTitle(model.section(section)) + QStringLiteral(": ") +
                        names.join(", ");
    }
    return sections;
}

} // namespace

class TestAgendaModel : public QObject {
    Q_OBJECT

    QTemporaryDir _dir;
    QString path(const char* name) const { return _dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase() { QVERIFY(_dir.isValid()); }

    void sectionsGatherEveryListByDueDateAndMoveWithTheClock() {
        FixedClock clock(localTime("2026-12-07 22:30:00"));
        writeList(path("home.todo"), {due("rent", "2026-12-07 22:00:00 +0100"),
                                      due("bins", "2026-12-08 00:00:00 +0100"), makeItem("someday")});
        writeList(path("work.todo"), {due("report", "2026-12-07 23:59:00 +0100", "work"),
                                      due("review", "2026-12-13 23:59:00 +0100", "work"),
                                      due("holiday", "2026-12-14 00:00:00 +0100")});
        // A completed item is no longer outstanding.
        NodePtr done = due("filed", "2026-12-07 23:00:00 +0100");
        done->set(key::completion, Value::boolean(true));
        writeList(path("done.todo"), {done});
        QFile notAList(path("notes.txt"));
        QVERIFY(notAList.open(QIODevice::WriteOnly) && notAList.write("hello") == 5);
        notAList.close();

        AgendaLists lists;
        lists.setFiles({path("home.todo"), path("work.todo"), path("done.todo"), path("notes.txt"),
                        path("missing.todo"), path("./work.todo")});
        QCOMPARE(lists.lists().size(), size_t(5)); // the same file twice is one list
        AgendaModel model(lists);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(shown(model), (QStringList{"Overdue: rent", "Today: report", "Tomorrow: bins",
                                            "This Week: review", "Later: holiday"}));
        model.setShowsUndated(true);
        QCOMPARE(shown(model).constLast(), QStringLiteral("No Due Date: someday"));

        // Each row tells its list by name, the full path in its tooltip, and reads as one sentence.
        const QModelIndex report = model.index(0, 0, model.index(1, 0));
        QCOMPARE(report.siblingAtColumn(AgendaModel::ListColumn).data().toString(),
                 QStringLiteral("work.todo"));
        QCOMPARE(report.siblingAtColumn(AgendaModel::ListColumn).data(Qt::ToolTipRole).toString(),
                 AgendaLists::keyOf(path("work.todo")));
        QCOMPARE(report.siblingAtColumn(AgendaModel::CategoryColumn).data().toString(),
                 QStringLiteral("work"));
        QVERIFY(!report.siblingAtColumn(AgendaModel::DueColumn).data().toString().isEmpty());
        const QString spoken = report.data(Qt::AccessibleTextRole).toString();
        QVERIFY2(spoken.startsWith("report, in work.todo, category work, due "), qPrintable(spoken));
        QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("Today (1)"));
        // Without a way to store them, due dates are not editable.
        QVERIFY(!(model.flags(report.siblingAtColumn(AgendaModel::DueColumn)) & Qt::ItemIsEditable));

        // Past midnight, today's item is overdue and tomorrow's is today's; a week on, later is this week.
        model.setNow(localTime("2026-12-08 00:10:00"));
        QCOMPARE(shown(model), (QStringList{"Overdue: rent, report, bins", "This Week: review, holiday",
                                            "No Due Date: someday"}));
    }

    void filtersByCategoryAndSearchTogether() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        writeList(path("a.todo"), {due("Call Anna", "2026-12-07 12:00:00 +0100", "work"),
                                   due("Anna's birthday", "2026-12-09 12:00:00 +0100", "home"),
                                   due("Buy crème fraîche", "2026-12-08 12:00:00 +0100", "home")});
        writeList(path("b.todo"), {due("Write to Anna", "2026-12-20 12:00:00 +0100", "Work")});
        AgendaLists lists;
        lists.setFiles({path("a.todo"), path("b.todo")});
        AgendaModel model(lists);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.categories(), (QStringList{"home", "Work", "work"}));

        model.setCategory(QStringLiteral("home"));
        QCOMPARE(shown(model), (QStringList{"Tomorrow: Buy crème fraîche", "This Week: Anna's birthday"}));
        model.setSearch(QStringLiteral("ANNA"));
        QCOMPARE(shown(model), (QStringList{"This Week: Anna's birthday"}));
        model.setCategory(QString());
        QCOMPARE(model.entryCount(), 3);
        model.setSearch(QStringLiteral("creme"));
        QCOMPARE(shown(model), (QStringList{"Tomorrow: Buy crème fraîche"}));
        model.setSearch(QStringLiteral("nothing like it"));
        QCOMPARE(model.rowCount(), 0);
        // The categories on offer do not shrink with the filters.
        QCOMPARE(model.categories().size(), 3);
    }

    void followsFilesAndOpenTreesAsTheyChange() {
        FixedClock clock(localTime("2026-12-07 09:00:00"));
        const QString file = writeList(path("follow.todo"), {due("first", "2026-12-07 12:00:00 +0100")});
        writeList(path("other.todo"), {due("other", "2026-12-07 11:00:00 +0100")});
        AgendaLists lists;
        lists.setFiles({file, path("other.todo")});
        AgendaModel model(lists);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(&lists, &AgendaLists::listChanged);

        // Another program replaces the file: the agenda reads it again by itself.
        writeList(file,
                  {due("first", "2026-12-07 12:00:00 +0100"), due("second", "2026-12-07 10:00:00 +0100")});
        QVERIFY(changed.wait(5000));
        QCOMPARE(shown(model), (QStringList{"Today: second, other, first"}));

        // An open window's tree stands for the list: its changes show, and a selection finds its row.
        const ListLoad open = readListFile(file);
        QVERIFY(open.ok());
        lists.setOpen(file, open.root);
        const NodePtr first = childrenOf(*open.root)->items[0].asDict();
        first->set(key::due, QStringLiteral("2026-12-07 09:30:00 +0100"));
        lists.openListChanged(file);
        QCOMPARE(shown(model), (QStringList{"Today: first, second, other"}));
        const QModelIndex row = model.indexOf({AgendaLists::keyOf(file), first.get()});
        QCOMPARE(row.data().toString(), QStringLiteral("first"));
        QCOMPARE(model.placeOf(row).item, first.get());
        QVERIFY(!model.indexOf({AgendaLists::keyOf(path("other.todo")), first.get()}).isValid());
        // While the window shows the list, its file is not what the agenda shows.
        const int before = changed.count();
        writeList(file, {due("from disk", "2026-12-07 12:00:00 +0100")});
        QTest::qWait(300);
        QCOMPARE(changed.count(), before);
        QCOMPARE(shown(model), (QStringList{"Today: first, second, other"}));
        // The window closes: the file is the list again.
        lists.closeOpen(file);
        QCOMPARE(shown(model), (QStringList{"Today: other, from disk"}));

        // A list that leaves the watched ones leaves the agenda.
        lists.setFiles({path("other.todo")});
        QCOMPARE(shown(model), (QStringList{"Today: other"}));
    }
};

QTEST_GUILESS_MAIN(TestAgendaModel)
#include "tst_agenda_model.moc"
