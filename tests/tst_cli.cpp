#include "archive/list_file.h"
#include "minder/recurrence_calculator.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/new_item.h"
#include "test_support.h"
#include "typed_stream_test_data.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;

namespace {

/// A completed item repeating by the period from the due date.
NodePtr completedRepeating(const QString& name, const QString& due, Period period) {
    NodePtr item = newToDoItem();
    item->set(key::name, name);
    item->set(key::due, due);
    item->set(key::dateDueRepeatPeriod, Value::integer(period));
    item->set(key::completion, Value::float32(1.0));
    return item;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    QString path(const QString& name) const { return _dir.filePath(name); }

private slots:
    void helpAndUsage() {
        const test::CliRun help = test::runCli({"--help"});
        QCOMPARE(help.exitCode, 0);
        for (const char* command : {"new", "add", "show", "dump", "check", "archive"})
            QVERIFY2(help.out.contains(QStringLiteral("  %1 ").arg(command)), command);
        QCOMPARE(test::runCli({}).exitCode, 2);
        const test::CliRun unknown = test::runCli({"frobnicate"});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY(unknown.err.contains("frobnicate"));
        QCOMPARE(test::runCli({"show"}).exitCode, 2);
        QCOMPARE(test::runCli({"add", path("x.todo"), "name", "--parent"}).exitCode, 2);
        QCOMPARE(test::runCli({"new", path("x.todo"), "--forse"}).exitCode, 2);
    }

    void newAddShowBuildAnOutline() {
        const QString list = path("groceries.todo");
        QCOMPARE(test::runCli({"new", list}).exitCode, 0);
        const test::CliRun again = test::runCli({"new", list});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains("--force"));
        QCOMPARE(test::runCli({"new", list, "--force"}).exitCode, 0);

        QCOMPARE(test::runCli({"add", list, "Shop"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "Milk", "--parent", "0"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "Brot – frisch", "--parent", "0"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "Semi-skimmed", "--parent", "0/0"}).exitCode, 0);
        const test::CliRun missing = test::runCli({"add", list, "x", "--parent", "0/5"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("0/5"));

        const test::CliRun show = test::runCli({"show", list});
        QCOMPARE(show.exitCode, 0);
        QCOMPARE(show.out, QStringLiteral("4/4 outstanding\n"
                                          "  0% Shop\n"
                                          "    0% Milk\n"
                                          "      0% Semi-skimmed\n"
                                          "    0% Brot – frisch\n"));
    }

    void quickAddFindAndAgendaReadTheLists() {
        const QString list = path("errands.todo");
        const QString other = path("home.todo");
        QCOMPARE(test::runCli({"new", list}).exitCode, 0);
        QCOMPARE(test::runCli({"new", other}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "--parse", "Call Anna tomorrow 10:00 #work"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "--parse", "Return the books yesterday"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "--parse", "Renew passport in 30 days"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", other, "Crème brûlée"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", other, "Buy cream\x1b[31m", "--parent", "0"}).exitCode, 0);
        const test::CliRun noName = test::runCli({"add", list, "--parse", "#work"});
        QCOMPARE(noName.exitCode, 1);
        QVERIFY2(noName.err.contains("names no item"), qPrintable(noName.err));

        const ListLoad load = readListFile(list);
        const NodePtr call = childAt(*childrenOf(*load.root), 0);
        QCOMPARE(*call->value(key::name).asString(), QStringLiteral("Call Anna"));
        QCOMPARE(*call->value(key::category).asString(), QStringLiteral("work"));
        QCOMPARE(parseStoredDate(call->value(key::due)),
                 std::optional(QDateTime(QDate::currentDate().addDays(1), QTime(10, 0))));

        // Finding and the agenda only read: a list they looked at keeps every byte.
        const QByteArray listBytes = test::fileBytes(list), otherBytes = test::fileBytes(other);
        const test::CliRun found = test::runCli({"find", "CREME", other});
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(found.out, other + "\t0\tCrème brûlée\n");
        QCOMPARE(test::runCli({"find", "cream", other}).out,
                 other + "\t0/0\tCrème brûlée / Buy cream\\x1b[31m\n"); // the names down to it, escaped
        const test::CliRun none = test::runCli({"find", "garden", list, other});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(none.out, QString());
        const test::CliRun missing = test::runCli({"find", "call", path("missing.todo"), list});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.out.contains("Call Anna") && missing.err.contains("missing.todo"),
                 qPrintable(missing.err));

        const test::CliRun agenda = test::runCli({"agenda", "--json", list});
        QCOMPARE(agenda.exitCode, 0);
        const QJsonArray items = QJsonDocument::fromJson(agenda.out.toUtf8()).array();
        QCOMPARE(items.size(), 2); // the passport is due beyond the week
        QCOMPARE(items[0]["name"].toString(), QStringLiteral("Return the books")); // overdue first
        QCOMPARE(items[1]["category"].toString(), QStringLiteral("work"));
        QCOMPARE(items[1]["list"].toString(), list);
        QCOMPARE(QDateTime::fromString(items[1]["due"].toString(), Qt::ISODate),
                 QDateTime(QDate::currentDate().addDays(1), QTime(10, 0)));
        QCOMPARE(
            QJsonDocument::fromJson(test::runCli({"agenda", "--json", "--days", "40", list}).out.toUtf8())
                .array()
                .size(),
            3);
        QCOMPARE(test::runCli({"agenda", "--days", "-1", list}).exitCode, 2);
        QCOMPARE(test::runCli({"agenda", "--days", "week", list}).exitCode, 2);

        // Without lists named, the watched ones; one that is gone is passed over.
        QCOMPARE(test::runCli({"config", "tardigoMinderDocs", other + ", " + path("gone.todo") + ", " + list})
                     .exitCode,
                 0);
        const test::CliRun watched = test::runCli({"agenda"});
        QCOMPARE(watched.exitCode, 0);
        QCOMPARE(watched.out.count('\n'), 2);
        QVERIFY2(watched.out.startsWith("Overdue\t") &&
                     watched.out.contains("\tCall Anna\twork\t" + list + "\n"),
                 qPrintable(watched.out));
        QCOMPARE(test::runCli({"find", "cream"}).out.count('\n'), 1);
        QCOMPARE(test::fileBytes(list), listBytes);
        QCOMPARE(test::fileBytes(other), otherBytes);
        QCOMPARE(test::runCli({"find"}).exitCode, 2);
        QCOMPARE(test::runCli({"config", "--reset", "tardigoMinderDocs"}).exitCode, 0);
    }

    void itemsAddedAlikeAllStay() {
        // Made in the same second with the same name, they are three items all the same.
        const QString list = path("milk.todo");
        QCOMPARE(test::runCli({"new", list}).exitCode, 0);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(test::runCli({"add", list, "Buy milk"}).exitCode, 0);
        QCOMPARE(test::runCli({"show", list}).out, QStringLiteral("3/3 outstanding\n"
                                                                  "  0% Buy milk\n"
                                                                  "  0% Buy milk\n"
                                                                  "  0% Buy milk\n"));
    }

    void dumpReportsTheLoadRepairs() {
        // A new list needs no repair; one from before the repair existed is told.
        const QString list = path("dump.todo");
        QCOMPARE(test::runCli({"new", list}).exitCode, 0);
        QVERIFY(!test::runCli({"dump", list}).err.contains("changed on load"));
        const NodePtr unrepaired = newListRoot();
        unrepaired->remove(key::beta1DateFixedUp);
        QCOMPARE(writeListFile(list, unrepaired), QString());
        const test::CliRun first = test::runCli({"dump", list});
        QCOMPARE(first.exitCode, 0);
        QVERIFY(first.err.contains("changed on load"));
        const QJsonObject root = QJsonDocument::fromJson(first.out.toUtf8()).object();
        QCOMPARE(root.value("document type").toString(), QStringLiteral("Tardigo Todo List"));
        QCOMPARE(root.value("beta 1 date fixed up").toObject().value("$type").toString(),
                 QStringLiteral("c"));
        QCOMPARE(root.value("completion").toObject().value("$type").toString(), QStringLiteral("i"));

        QCOMPARE(test::runCli({"add", list, "x"}).exitCode, 0); // saved with the marker now
        QVERIFY(!test::runCli({"dump", list}).err.contains("changed on load"));
    }

    void checkTellsListsFromOtherFiles() {
        const QString list = path("check.todo");
        QCOMPARE(test::runCli({"new", list}).exitCode, 0);
        QCOMPARE(test::runCli({"check", list}).exitCode, 0);

        const QString garbage = path("garbage.todo");
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x04\x0bstreamtyped\x81\xe8\x03\x84\x01@\x84\x88", 20);
        file.close();
        const test::CliRun bad = test::runCli({"check", garbage});
        QCOMPARE(bad.exitCode, 1);
        QVERIFY2(bad.err.contains("garbage.todo") && bad.err.contains("byte"), qPrintable(bad.err));
        const test::CliRun absent = test::runCli({"check", path("absent.todo")});
        QCOMPARE(absent.exitCode, 1);
        QVERIFY(absent.err.contains("absent.todo"));
    }

    void configListsSetsAndResetsPreferences() {
        const auto line = [](const QString& listing, const QString& key) {
            for (const QString& row : listing.split(u'\n'))
                if (row.startsWith(key + u' '))
                    return row.simplified();
            return QString();
        };
        const test::CliRun fresh = test::runCli({"config"});
        QCOMPARE(fresh.exitCode, 0);
        QCOMPARE(line(fresh.out, "autoSave"), QStringLiteral("autoSave default false"));
        QCOMPARE(line(fresh.out, "lastDocumentSet"), QStringLiteral("lastDocumentSet unset"));

        QCOMPARE(test::runCli({"config", "oldDays", "30"}).exitCode, 0);
        QCOMPARE(test::runCli({"config", "categoriesGlobalList", "Home, \"Work, paid\""}).exitCode, 0);
        QCOMPARE(
            test::runCli({"config", "todoItemIconConditions", "vk_heart=8, %2Fhome%2Fu%2Fa.png=2"}).exitCode,
            0);
        const test::CliRun changed = test::runCli({"config"});
        QCOMPARE(line(changed.out, "oldDays"), QStringLiteral("oldDays set 30 (from 1 to 36500)"));
        QCOMPARE(test::runCli({"config", "categoriesGlobalList"}).out,
                 QStringLiteral("Home, \"Work, paid\"\n"));
        QFile file(qEnvironmentVariable("XDG_CONFIG_HOME") + "/tardigo/preferences.ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString ini = QString::fromUtf8(file.readAll());
        QVERIFY2(ini.contains("oldDays=30") &&
                     ini.contains("[todoItemIconConditions]\n%2Fhome%2Fu%2Fa.png=2\n"),
                 qPrintable(ini));

        const test::CliRun wrongKind = test::runCli({"config", "oldDays", "soon"});
        QCOMPARE(wrongKind.exitCode, 1);
        QVERIFY2(wrongKind.err.contains("a whole number"), qPrintable(wrongKind.err));
        const test::CliRun unknown = test::runCli({"config", "colour", "red"});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(unknown.err.contains("colour"));
        QCOMPARE(test::runCli({"config", "--reset"}).exitCode, 2);

        QCOMPARE(test::runCli({"config", "--reset", "oldDays"}).exitCode, 0);
        QCOMPARE(test::runCli({"config", "oldDays"}).out, QStringLiteral("90\n"));
        QCOMPARE(line(test::runCli({"config"}).out, "oldDays"),
                 QStringLiteral("oldDays default 90 (from 1 to 36500)"));
    }

    void configRefusesANumberOutOfItsRange() {
        // The minutes of the minder's interval once overflowed its timer, which then ran without pause.
        for (const char* minutes : {"9223372036854775807", "0", "-5", "10081"}) {
            const test::CliRun refused = test::runCli({"config", "tardigoMinderRunIntervalMin", minutes});
            QCOMPARE(refused.exitCode, 1);
            QCOMPARE(refused.err,
                     QStringLiteral("tardigo-cli: %1 is out of range for tardigoMinderRunIntervalMin, "
                                    "which takes a number from 1 to 10080.\n")
                         .arg(minutes));
        }
        const test::CliRun side = test::runCli({"config", "drawerSide", "1"});
        QVERIFY2(side.exitCode == 1 && side.err.contains("which takes 0 or 2."), qPrintable(side.err));
        const test::CliRun status = test::runCli({"config", "todoItemIconConditions", "vk_heart=12"});
        QVERIFY2(status.exitCode == 1 && status.err.contains("takes numbers from 0 to 9"),
                 qPrintable(status.err));
        QCOMPARE(test::runCli({"config", "tardigoMinderRunIntervalMin"}).out, QStringLiteral("15\n"));
        QCOMPARE(test::runCli({"config", "tardigoMinderRunIntervalMin", "10080"}).exitCode, 0);
        QCOMPARE(test::runCli({"config", "--reset", "tardigoMinderRunIntervalMin"}).exitCode, 0);
    }

    void remindTellsANoticeFromAFailureAndSaysEachOnce() {
        // A date moved to a shorter month's end is worth knowing, but nothing failed.
        const QString moved = test::writeList(
            path("moved.todo"),
            {completedRepeating("rent", "2003-01-31 08:00:00 +0100", MonthlyByDayNumberPeriod)});
        const test::CliRun notice = test::runCli({"remind", "--now", "2003-02-10 10:00:00 +0100", moved});
        QCOMPARE(notice.exitCode, 0);
        QCOMPARE(notice.err.count("only 28 days"), 1);
        QVERIFY2(!notice.err.contains("Error"), qPrintable(notice.err));
        QVERIFY2(notice.out.contains("rent\tdue\t"), qPrintable(notice.out));

        // No fifth Friday in September: the item cannot move on, which is a failure, said once.
        const QString stuck = test::writeList(
            path("stuck.todo"),
            {completedRepeating("club", "2003-08-29 09:00:00 +0200", MonthlyByDayPositionPeriod)});
        const test::CliRun failure = test::runCli({"remind", "--now", "2003-08-30 10:00:00 +0200", stuck});
        QCOMPARE(failure.exitCode, 1);
        QCOMPARE(failure.err.count("No next due date"), 1);
    }

    void archiveRewritesAnyArchiveAsRead() {
        SKIP_WITHOUT_SAMPLES();
        const QString sample = test::samplesDir() + QStringLiteral("/apple-nsarchiver-foundation/NSURL");
        const test::CliRun json = test::runCli({"archive", sample, "--rewrite", path("url.out")});
        QCOMPARE(json.exitCode, 0);
        QVERIFY2(json.out.contains("\"$class\"") && json.out.contains("NSURL"), qPrintable(json.out));
        QFile original(sample), rewritten(path("url.out"));
        QVERIFY(original.open(QIODevice::ReadOnly) && rewritten.open(QIODevice::ReadOnly));
        QCOMPARE(rewritten.readAll(), original.readAll());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
