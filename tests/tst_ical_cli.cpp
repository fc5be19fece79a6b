// The calendar commands of tardigo-cli as a user types them: export and import, their errors, and
// sync with its remembered folder and command.
#include "ical_fixture.h"

#include "archive/list_file.h"

#include <QDir>
#include <QTemporaryDir>

using namespace tardigo;

class TestIcalCli : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    QString path(const QString& name) const { return _dir.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

private slots:
    void initTestCase() { test::startCalendarTest(); }

    void exportAndImport() {
        const QString list = path("groceries.todo");
        QCOMPARE(test::runCli({"new", list}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "Shop"}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "Milk", "--parent", "0"}).exitCode, 0);
        QCOMPARE(test::runCli({"ical", "export", list, path("groceries.ics")}).exitCode, 0);
        const test::CliRun again = test::runCli({"ical", "export", list, path("groceries.ics")});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(again.err.contains("--force"));

        // The export gave the items their uids, so importing it back updates them.
        const test::CliRun back = test::runCli({"ical", "import", path("groceries.ics"), list});
        QCOMPARE(back.exitCode, 0);
        QVERIFY2(back.out.contains("0 to-dos added, 2 updated"), qPrintable(back.out));
        const test::CliRun fresh = test::runCli({"ical", "import", path("groceries.ics"), path("new.todo")});
        QVERIFY2(fresh.out.contains("2 to-dos added"), qPrintable(fresh.out));
        QCOMPARE(test::runCli({"show", path("new.todo")}).out, test::runCli({"show", list}).out);
        QVERIFY2(!readListFile(path("new.todo")).changed, "the list made by the import opens unchanged");
    }

    void importTellsWhatItCouldNot() {
        write("rules.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:a\r\nSUMMARY:Stretch\r\n"
              "DUE:20240603T070000Z\r\nRRULE:FREQ=DAILY;INTERVAL=3\r\nLAST-MOD:20240601T000000Z\r\nEND:"
              "VTODO\r\n"
              "BEGIN:VEVENT\r\nUID:e\r\nDTSTART:20240603T070000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        const test::CliRun rules = test::runCli({"ical", "import", path("rules.ics"), path("rules.todo")});
        QCOMPARE(rules.exitCode, 0);
        QVERIFY2(rules.out.contains("1 to-dos added, 0 updated, 1 other components") &&
                     rules.out.contains("  Stretch"),
                 qPrintable(rules.out));
        QVERIFY2(rules.err.contains(path("rules.ics") +
                                    ", line 9: libical cannot read “LAST-MOD:20240601T000000Z”. "
                                    "That part was left out."),
                 qPrintable(rules.err));

        write("broken.ics",
              "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nSUMMARY:a\r\n b\r\nthis is not\r\nEND:VTODO\r\n");
        const test::CliRun broken = test::runCli({"ical", "import", path("broken.ics"), path("broken.todo")});
        QCOMPARE(broken.exitCode, 1);
        QVERIFY2(broken.err.contains(path("broken.ics") + ", line 5"), qPrintable(broken.err));
        QVERIFY(!QFile::exists(path("broken.todo")));
        QCOMPARE(test::runCli({"ical", "frobnicate"}).exitCode, 2);
    }

    void oddCalendarsAreRefusedOrEscaped() {
        // Latin-1 text is refused where it starts, not read as something else.
        write("latin1.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:c\r\n"
                            "SUMMARY:Caf\xe9\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
        const test::CliRun latin1 = test::runCli({"ical", "import", path("latin1.ics"), path("latin1.todo")});
        QCOMPARE(latin1.exitCode, 1);
        QVERIFY2(latin1.err.contains(path("latin1.ics") + ", line 6: the text is not UTF-8"),
                 qPrintable(latin1.err));
        QVERIFY(!QFile::exists(path("latin1.todo")));

        // What a calendar says reaches the terminal escaped, and only the start of a line it quotes.
        write("controls.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VTODO\r\nUID:b\r\n"
                              "SUMMARY:Bell\aRed\x1b[31m\r\nRRULE:FREQ=DAILY;INTERVAL=3\r\nEND:VTODO\r\n"
                              "END:VCALENDAR\r\n");
        const test::CliRun names =
            test::runCli({"ical", "import", path("controls.ics"), path("controls.todo")});
        QCOMPARE(names.exitCode, 0);
        QVERIFY2(names.out.contains("  Bell\\x07Red\\x1b[31m") && !names.out.contains(u'\x1b'),
                 qPrintable(names.out));
        write("garbage.ics",
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n\x1b[2J" + QByteArray(5000, 'x') + "\r\nEND:VCALENDAR\r\n");
        const test::CliRun garbage =
            test::runCli({"ical", "import", path("garbage.ics"), path("garbage.todo")});
        QCOMPARE(garbage.exitCode, 1);
        QVERIFY2(garbage.err.contains("line 3") && garbage.err.contains("\\x1b[2Jxxx") &&
                     !garbage.err.contains(u'\x1b'),
                 qPrintable(garbage.err));
        QVERIFY2(garbage.err.size() < 400, qPrintable(garbage.err));

        // A calendar above the limit is refused before it is read.
        QFile huge(path("huge.ics"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxCalendarBytes + 1));
        huge.close();
        const test::CliRun refused = test::runCli({"ical", "import", path("huge.ics"), path("huge.todo")});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("“huge.ics” is larger than 64 MB"), qPrintable(refused.err));
        QVERIFY(!QFile::exists(path("huge.todo")));
    }

    void syncRemembersFolderAndCommand() {
        const QString list = path("synced.todo");
        QDir(_dir.path()).mkdir("vdir");
        QCOMPARE(test::runCli({"new", list}).exitCode, 0);
        QCOMPARE(test::runCli({"add", list, "Call Anna"}).exitCode, 0);
        const test::CliRun none = test::runCli({"sync", list});
        QCOMPARE(none.exitCode, 1);
        QVERIFY(none.err.contains("no sync folder"));
        const test::CliRun first = test::runCli({"sync", list, path("vdir")});
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.out.contains("1 file written"), qPrintable(first.out));
        QCOMPARE(QDir(path("vdir")).entryList({"*.ics"}).size(), 1);
        QVERIFY2(test::runCli({"sync", list}).out.contains("nothing changed"), "the folder is remembered");

        const QString log = path("command.log");
        QCOMPARE(test::runCli({"config", "syncCommand", "echo ran >> '" + log + "'"}).exitCode, 0);
        const test::CliRun all = test::runCli({"sync", "--all"});
        QCOMPARE(all.exitCode, 0);
        QVERIFY2(all.out.contains(QFileInfo(list).absoluteFilePath() + ": nothing changed"),
                 qPrintable(all.out));
        QFile ran(log);
        QVERIFY(ran.open(QIODevice::ReadOnly));
        QCOMPARE(ran.readAll(), QByteArray("ran\nran\n"));
    }
};

QTEST_GUILESS_MAIN(TestIcalCli)
#include "tst_ical_cli.moc"
