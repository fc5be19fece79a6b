// Two lists kept in sync through a CalDAV server: Radicale on the loopback, vdirsyncer between it
// and each list's folder, as a user sets it up. Skipped where either program is missing.
#include "ical_fixture.h"
#include "local_servers.h"

#include "archive/list_file.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "model/tree_operations.h"
#include "rich_text/notes_text.h"
#include "sync/list_sync.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace tardigo;

class TestSyncRadicale : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    QProcess _radicale;
    QProcessEnvironment _environment = QProcessEnvironment::systemEnvironment();

    QString path(const QString& name) const { return _dir.filePath(name); }

    /// Runs vdirsyncer with our configuration, answering yes to its questions; its output on failure.
    QString vdirsyncer(const QStringList& arguments) {
        QProcess process;
        process.setProcessEnvironment(_environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("vdirsyncer"),
                      QStringList{QStringLiteral("--config"), path("config")} + arguments);
        process.write("y\ny\ny\ny\n");
        process.closeWriteChannel();
        if (!process.waitForFinished(120000) || process.exitCode() != 0)
            return QString::fromUtf8(process.readAll()) + process.errorString();
        return {};
    }

    /// One list's round, as "tardigo-cli sync --all" with vdirsyncer as its sync command makes it:
    /// vdirsyncer fetches, the list merges with its folder, vdirsyncer sends.
    void syncThrough(const QString& list, const QString& pair) {
        QString said = vdirsyncer({QStringLiteral("sync"), pair});
        QVERIFY2(said.isEmpty(), qPrintable(said));
        SyncOptions options;
        options.bind = true;
        options.stateFolder = path("state");
        const SyncReport report = syncList(path(list), path(pair + QStringLiteral("/tasks")), options);
        QVERIFY2(report.ok() && report.problems.isEmpty(),
                 qPrintable(report.error + report.problems.join(u' ')));
        said = vdirsyncer({QStringLiteral("sync"), pair});
        QVERIFY2(said.isEmpty(), qPrintable(said));
    }

    /// List one to the server, the server to list two, and what two changed back to one.
    void roundTrip() {
        syncThrough(QStringLiteral("one.todo"), QStringLiteral("a"));
        syncThrough(QStringLiteral("two.todo"), QStringLiteral("b"));
        syncThrough(QStringLiteral("one.todo"), QStringLiteral("a"));
    }

    NodePtr list(const char* name) const { return readListFile(path(QString::fromLatin1(name))).root; }

    void edit(const char* name, const QDateTime& at, const std::function<void(const NodePtr&)>& change) {
        test::FixedClock clock(at);
        const NodePtr root = list(name);
        change(root);
        QVERIFY(writeListFile(path(QString::fromLatin1(name)), root).isEmpty());
    }

private slots:
    void initTestCase() {
        test::startCalendarTest();
        if (QStandardPaths::findExecutable(QStringLiteral("radicale")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("vdirsyncer")).isEmpty())
            QSKIP("Radicale and vdirsyncer are not installed (scripts/deps installs them)");
        const quint16 port = test::freePort();
        if (port == 0)
            QSKIP("No port is free on 127.0.0.1");
        for (const char* home : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            _environment.insert(QString::fromLatin1(home), path(QStringLiteral("home")));
        _environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        _radicale.setProcessEnvironment(_environment);
        _radicale.setProcessChannelMode(QProcess::MergedChannels);
        _radicale.start(QStringLiteral("radicale"),
                        {QStringLiteral("--config"), QString(), QStringLiteral("--hosts"),
                         QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("--auth-type"),
                         QStringLiteral("none"), QStringLiteral("--storage-filesystem-folder"),
                         path(QStringLiteral("server"))});
        if (!test::waitForPort(port, _radicale))
            QSKIP(qPrintable(QStringLiteral("Radicale did not start: ") +
                             QString::fromUtf8(_radicale.readAll())));

        QFile config(path(QStringLiteral("config")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        QString text =
            QStringLiteral("[general]\nstatus_path = \"%1/\"\n").arg(path(QStringLiteral("status")));
        for (const char* pair : {"a", "b"}) {
            const QString name = QString::fromLatin1(pair);
            text += QStringLiteral(
                        "[pair %1]\na = \"%1_local\"\nb = \"%1_server\"\ncollections = [\"tasks\"]\n"
                        "[storage %1_local]\ntype = \"filesystem\"\npath = \"%2/\"\nfileext = \".ics\"\n"
                        "[storage %1_server]\ntype = \"caldav\"\nurl = \"http://127.0.0.1:%3/\"\n"
                        "username = \"user\"\npassword = \"none\"\n")
                        .arg(name, path(name))
                        .arg(port);
        }
        QVERIFY(config.write(text.toUtf8()) > 0);
        config.close();
        for (const char* pair : {"a", "b"}) {
            const QString said = vdirsyncer({QStringLiteral("discover"), QString::fromLatin1(pair)});
            QVERIFY2(said.isEmpty(), qPrintable(said));
        }
    }

    void cleanupTestCase() {
        _radicale.terminate();
        if (!_radicale.waitForFinished(5000))
            _radicale.kill();
    }

    // A list through the server to a second list keeps every name, nesting, due date, repeat,
    // completion, category, reminder and note.
    void aListArrivesWhole() {
        const Value yes = Value::boolean(true), no = Value::boolean(false);
        const NodePtr root = newListRoot();
        TextRun run;
        run.text = QStringLiteral("Ask for the blue one");
        run.italic = true;
        const NodePtr house = test::addItem(*root, {{key::name, "House"}, {key::category, "Home"}});
        test::addItem(*house, {{key::name, "Paint the door"},
                               {key::completion, Value::float32(0.4)},
                               {key::notes, Value::data(encodeNotes(RichText::fromRuns({run})))}});
        test::addItem(*house, {{key::name, "Clean the gutters"},
                               {key::due, "2024-10-01 09:00:00 +0200"},
                               {key::dateDueRepeatPeriod, Value::integer(5)},
                               {key::reminderSet, yes},
                               {key::reminderTimeLength, Value::float32(2)},
                               {key::reminderTimeUnit, Value::integer(2)},
                               {key::reminderMarkDueDate, yes},
                               {key::reminderMarkNow, no}});
        test::addItem(*root, {{key::name, "Renew passport"},
                              {key::due, "2025-01-15 12:00:00 +0100"},
                              {key::completion, yes},
                              {key::dateCompleted, "2024-12-20 18:00:00 +0100"}});
        QVERIFY(writeListFile(path(QStringLiteral("one.todo")), root).isEmpty());
        QVERIFY(writeListFile(path(QStringLiteral("two.todo")), newListRoot()).isEmpty());

        roundTrip();
        QCOMPARE(test::mappedOutline(*list("two.todo")), test::mappedOutline(*list("one.todo")));
        QCOMPARE(list("two.todo")->value(key::children).asArray()->size(), 2);

        // What we wrote reads without error in libical and in Python's icalendar.
        const QDir folder(path(QStringLiteral("a/tasks")));
        const QStringList files = folder.entryList({QStringLiteral("*.ics")});
        QCOMPARE(files.size(), 4);
        for (const QString& name : files) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const test::ReadBack back = test::readFirstTodo(file.readAll());
            QVERIFY2(back.todo, qPrintable(back.read.error));
            QCOMPARE(icalcomponent_count_errors(back.read.components.front().get()), 0);
        }
        const QString python = test::pythonWithIcalendar();
        if (python.isEmpty())
            QSKIP("Python's icalendar module (python3-icalendar) is not installed");
        QCOMPARE(QProcess::execute(python,
                                   {QStringLiteral("-c"),
                                    QStringLiteral("import icalendar,sys,glob\n"
                                                   "for f in glob.glob(sys.argv[1] + '/*.ics'):\n"
                                                   "    icalendar.Calendar.from_ical(open(f,'rb').read())"),
                                    folder.path()}),
                 0);
    }

    // Done, deleted and changed on both sides: each reaches the other list.
    void changesTravelBothWays() {
        const QDateTime soon = QDateTime::currentDateTime().addSecs(60);
        edit("two.todo", soon, [](const NodePtr& root) {
            const NodePtr door = test::findItem(*root, QStringLiteral("Paint the door"));
            door->set(key::completion, Value::boolean(true));
            door->set(key::dateCompleted, storedDateStringNow());
            appendToLog(*door, QStringLiteral("completed"));
        });
        edit("one.todo", soon, [](const NodePtr& root) {
            deleteItemFromTree(root, test::findItem(*root, QStringLiteral("Renew passport")).get());
        });
        roundTrip();
        QVERIFY(isCompleted(*test::findItem(*list("one.todo"), QStringLiteral("Paint the door"))));
        QVERIFY(!test::findItem(*list("two.todo"), QStringLiteral("Renew passport")));

        edit("one.todo", soon.addSecs(60), [](const NodePtr& root) {
            test::findItem(*root, QStringLiteral("House"))->set(key::name, QStringLiteral("House (one)"));
            appendToLog(*test::findItem(*root, QStringLiteral("House (one)")), QStringLiteral("set name"));
        });
        edit("two.todo", soon.addSecs(120), [](const NodePtr& root) {
            test::findItem(*root, QStringLiteral("House"))->set(key::name, QStringLiteral("House (two)"));
            appendToLog(*test::findItem(*root, QStringLiteral("House (two)")), QStringLiteral("set name"));
        });
        roundTrip();
        for (const char* name : {"one.todo", "two.todo"}) {
            QVERIFY(test::findItem(*list(name), QStringLiteral("House (two)")));
            QVERIFY(test::findItem(*list(name), QStringLiteral("House (one) (conflict copy)")));
        }
        QCOMPARE(test::mappedOutline(*list("two.todo")), test::mappedOutline(*list("one.todo")));
    }
};

QTEST_GUILESS_MAIN(TestSyncRadicale)
#include "tst_sync_radicale.moc"
