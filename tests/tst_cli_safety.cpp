// What the command-line tool promises about the lists it writes: nothing is lost or silently
// replaced, whatever the disk, the other writers or the names and files it is given.
#include "archive/list_file.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/new_item.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tardigo;

namespace {

NodePtr namedItem(const QString& name) {
    NodePtr item = newToDoItem();
    item->set(key::name, name);
    return item;
}

/// Starts the tool without waiting for it, its output unread.
void startCli(QProcess& process, const QStringList& args) {
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral(TARDIGO_CLI_PATH), args);
    QVERIFY(process.waitForStarted());
}

/// The tool run by the shell, so that arguments may hold bytes that are not UTF-8 (printf writes
/// them): the script sees the tool as $0 and `args` as $1 on.
test::CliRun runCliInShell(const QString& script, const QStringList& args) {
    return test::runProgram(QStringLiteral("sh"),
                            QStringList{QStringLiteral("-c"), script, QStringLiteral(TARDIGO_CLI_PATH)} +
                                args);
}

} // namespace

class TestCliSafety : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    QString path(const QString& name) const { return _dir.filePath(name); }

private slots:
    void aFullDiskFailsEveryWriterAndKeepsTheOldFile() {
        const QString list = test::writeList(path("full.todo"), {namedItem("milk")});
        const QByteArray before = test::fileBytes(list);
        const QStringList files = QDir(_dir.path()).entryList(QDir::Files);
        for (const QStringList& args :
             {QStringList{"add", list, "bread"}, QStringList{"new", path("new.todo")},
              QStringList{"new", list, "--force"}, QStringList{"export", list, path("full.plist")},
              QStringList{"archive", list, "--rewrite", path("copy.todo")}}) {
            const test::CliRun run = test::runCliOnFullDisk(args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains("Could not save") && run.err.contains("File too large"),
                     qPrintable(run.err));
        }
        QCOMPARE(test::fileBytes(list), before);
        QCOMPARE(QDir(_dir.path()).entryList(QDir::Files), files);
    }

    void nestingDeeperThanAListHoldsIsRefused() {
        NodePtr top = namedItem("level 1"), deepest = top;
        for (int depth = 2; depth < kMaxItemDepth; ++depth) {
            const NodePtr item = namedItem(QStringLiteral("level %1").arg(depth));
            childrenOf(*deepest)->items.push_back(item);
            deepest = item;
        }
        const QString list = test::writeList(path("deep.todo"), {top});
        const QStringList zeros(kMaxItemDepth, QStringLiteral("0"));
        QCOMPARE(test::runCli({"add", list, "deepest", "--parent", zeros.mid(1).join(u'/')}).exitCode, 0);
        const QByteArray before = test::fileBytes(list);
        const test::CliRun refused = test::runCli({"add", list, "too deep", "--parent", zeros.join(u'/')});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("at most 498 levels deep"), qPrintable(refused.err));
        QCOMPARE(test::fileBytes(list), before);
        QCOMPARE(test::runCli({"show", list}).exitCode, 0);
    }

    void twoWritersAtOnceKeepEveryItem() {
        const QString list = test::writeList(path("together.todo"), {});
        QProcess first, second;
        for (QProcess* process : {&first, &second}) {
            const QString who = process == &first ? QStringLiteral("a") : QStringLiteral("b");
            process->start(
                QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("for i in $(seq 20); do \"$0\" add \"$1\" \"$2$i\" || exit 1; done"),
                 QStringLiteral(TARDIGO_CLI_PATH), list, who});
        }
        for (QProcess* process : {&first, &second}) {
            QVERIFY(process->waitForFinished(60000));
            QCOMPARE(process->exitCode(), 0);
        }
        QCOMPARE(childrenOf(*readListFile(list).root)->size(), 40);
    }

    void aWriterWaitsForAsLongAsAnotherRunsAndSaysForWhom() {
        // Another program holds the list for longer than writers once waited before giving up.
        const QString list = test::writeList(path("patient.todo"), {namedItem("first")});
        QProcess holder;
        holder.start(
            QStringLiteral("sh"),
            {QStringLiteral("-c"),
             QStringLiteral("exec 9<>\"$0\" && flock 9 && printf 'pid=%s\\nprogram=holder\\n' $$ >&9 && "
                            "exec sleep 10.5"),
             path(".patient.todo.lock")});
        QVERIFY(holder.waitForStarted());
        while (test::fileBytes(path(".patient.todo.lock")).isEmpty())
            QThread::msleep(10);
        const test::CliRun added = test::runCli({"add", list, "second"});
        QCOMPARE(added.exitCode, 0);
        QCOMPARE(added.err,
                 QStringLiteral("tardigo-cli: “patient.todo” is being changed by process %1 (holder); "
                                "waiting for it to finish.\n")
                     .arg(holder.processId()));
        QCOMPARE(childrenOf(*readListFile(list).root)->size(), 2);
        QVERIFY(holder.waitForFinished());
    }

    void aReminderPassSendsItsNoticesOnceItLetGoOfTheList() {
        // The mail goes out through a sendmail that notes whether another writer could have the
        // list meanwhile, and takes a second, during which an item is added.
        const QString mailed = path("mailed"), sendmail = path("sendmail");
        const QString list = path("minded.todo");
        QFile script(sendmail);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\ncat >/dev/null\n"
                           "if flock -n '%1' true; then echo free; else echo held; fi >'%2'\nsleep 1\n")
                .arg(path(".minded.todo.lock"), mailed)
                .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        Settings& settings = Settings::instance();
        settings.setMinderEmail(true);
        settings.setMinderEmailAddress("me@example.org");
        settings.setMinderSendmailPath(sendmail);
        settings.sync();

        NodePtr overdue = namedItem("overdue");
        overdue->set(key::due, "2003-05-01 09:00:00 +0200");
        test::writeList(list, {overdue});
        QProcess remind;
        startCli(remind,
                 {"remind", "--now", "2003-05-20 10:00:00 +0200", "--apply", "--channels", "mail", list});
        QElapsedTimer timer;
        timer.start();
        while (test::fileBytes(mailed).isEmpty() && timer.elapsed() < 30000)
            QThread::msleep(5);
        QCOMPARE(test::fileBytes(mailed), QByteArray("free\n"));
        QCOMPARE(test::runCli({"add", list, "added meanwhile"}).exitCode, 0);
        QVERIFY(remind.waitForFinished(60000));
        QCOMPARE(remind.exitCode(), 0);
        settings.setMinderEmail(false);
        settings.sync();

        const ArrayPtr saved = childrenOf(*readListFile(list).root);
        QCOMPARE(saved->size(), 2);
        QCOMPARE(childAt(*saved, 1)->value(key::name), Value("added meanwhile"));
        QVERIFY(childAt(*saved, 0)->contains(key::minderTimestampTodo)); // and the pass's own change
    }

    void sharedNotesAreNotWrittenOutAgainWithoutEnd() {
        // 200 items share a 64 KB note: the list holds it once, but JSON and a property list would
        // hold it 200 times, which the tool refuses as the reader refuses such an archive.
        const Value notes = Value::data(QByteArray(64 * 1024, 'n'));
        std::vector<NodePtr> items;
        for (int i = 0; i < 200; ++i) {
            items.push_back(namedItem(QStringLiteral("item %1").arg(i)));
            items.back()->set(key::notes, notes);
        }
        const QString list = test::writeList(path("shared.todo"), items);
        for (const QStringList& args : {QStringList{"dump", list}, QStringList{"archive", list},
                                        QStringList{"export", list, path("shared.plist")}}) {
            const test::CliRun refused = test::runCli(args);
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains("share notes or texts") && refused.err.contains("MB in all"),
                     qPrintable(refused.err));
            QVERIFY(refused.out.isEmpty());
        }
        QVERIFY(!QFile::exists(path("shared.plist")));
    }

    void oddFilesAndNamesAreRefusedWithAReason() {
        const QString pipe = path("pipe.todo");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        for (const QStringList& args : {QStringList{"show", pipe}, QStringList{"remind", pipe}}) {
            const test::CliRun refused = test::runCli(args);
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains("not a regular file"), qPrintable(refused.err));
        }

        // A name that is not UTF-8 cannot be kept exactly, so nothing is written under another.
        const QStringList before = QDir(_dir.path()).entryList(QDir::Files);
        QProcess process;
        process.setWorkingDirectory(_dir.path());
        process.start(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("\"$0\" new \"$(printf 'caf\\351.todo')\""),
                       QStringLiteral(TARDIGO_CLI_PATH)});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains("not UTF-8"));
        QCOMPARE(QDir(_dir.path()).entryList(QDir::Files), before);
    }

    void argumentsThatAreNotUtf8AreNamedForWhatTheyAre() {
        const QString list = test::writeList(path("bytes.todo"), {namedItem("milk")});
        const QByteArray before = test::fileBytes(list);

        // Text: which argument and which byte, and nothing about renaming files.
        const test::CliRun parsed =
            runCliInShell("\"$0\" add \"$1\" --parse \"$(printf 'Call Anna caf\\351 tomorrow')\"", {list});
        QCOMPARE(parsed.exitCode, 1);
        QVERIFY2(parsed.err.contains("argument 4 (“Call Anna caf\\xe9 tomorrow”) is not UTF-8 text: its byte "
                                     "14, 0xe9, is no part of a UTF-8 character") &&
                     parsed.err.contains("give it in UTF-8") && !parsed.err.contains("convmv"),
                 qPrintable(parsed.err));
        // A name cut short, and a long text shown around its byte.
        const test::CliRun named = runCliInShell("\"$0\" add \"$1\" \"$(printf 'Bread \\303')\"", {list});
        QVERIFY2(named.err.contains("argument 3 (“Bread \\xc3”)") && named.err.contains("its byte 7, 0xc3"),
                 qPrintable(named.err));
        const test::CliRun found =
            runCliInShell("\"$0\" find \"$(printf '%0100d\\200%0100d' 0 0)\" \"$1\"", {list});
        QVERIFY2(
            found.err.contains(
                QStringLiteral("argument 2 (“…%1\\x80%2…”)").arg(QString(40, u'0'), QString(20, u'0'))) &&
                found.err.contains("its byte 101, 0x80"),
            qPrintable(found.err));
        QCOMPARE(test::fileBytes(list), before);

        // A file that has such a name cannot be named exactly: renaming it is the way.
        const QByteArray odd = QFile::encodeName(_dir.path()) + "/caf\xe9.todo";
        QCOMPARE(::close(::creat(odd.constData(), 0600)), 0);
        const test::CliRun shown =
            runCliInShell("\"$0\" show \"$1/$(printf 'caf\\351.todo')\"", {_dir.path()});
        QCOMPARE(shown.exitCode, 1);
        QVERIFY2(shown.err.contains("argument 2 (") && shown.err.contains("convmv"), qPrintable(shown.err));
        QCOMPARE(::unlink(odd.constData()), 0);
    }

    void findAndAgendaNameAListTheyCannotReadByThePathGiven() {
        QVERIFY(QDir(_dir.path()).mkpath("home/work") && QDir(_dir.path()).mkpath("shared/work"));
        NodePtr item = namedItem("file taxes");
        item->set(key::due, "2003-05-01 09:00:00 +0200");
        const QString good = test::writeList(path("home/work/list.todo"), {item});
        const QString broken = path("shared/work/list.todo");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("no list at all") > 0);
        file.close();
        for (const QStringList& args :
             {QStringList{"find", "taxes", good, broken}, QStringList{"agenda", good, broken}}) {
            const test::CliRun run = test::runCli(args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains("“" + broken + "” is not a Tardigo list"), qPrintable(run.err));
            QVERIFY2(run.out.contains("file taxes"), qPrintable(run.out));
        }
    }

    void namesCannotDriveTheTerminal() {
        NodePtr item = namedItem(QStringLiteral("Bell\aRed\x1b[31m\nforged line\x7f"));
        item->set(key::due, "2003-05-01 09:00:00 +0200");
        const QString list = test::writeList(path("controls.todo"), {item});
        const QString escaped = QStringLiteral("Bell\\x07Red\\x1b[31m\\nforged line\\x7f");
        const test::CliRun show = test::runCli({"show", list});
        QCOMPARE(show.exitCode, 0);
        QCOMPARE(show.out,
                 QStringLiteral("1/1 outstanding\n  0% %1 due 2003-05-01 09:00:00 +0200\n").arg(escaped));
        const test::CliRun remind = test::runCli({"remind", "--now", "2003-05-20 10:00:00 +0200", list});
        QCOMPARE(remind.exitCode, 0);
        QCOMPARE(remind.out.count(u'\n'), 1);
        QVERIFY2(remind.out.contains(u'\t' + escaped + u'\t'), qPrintable(remind.out));
    }

    void namesCannotShowThemselvesReversed() {
        // An override, an embedding and an isolate, each with its end; a soft hyphen, a joiner and a
        // non-joiner belong to real words and stay.
        NodePtr item =
            namedItem(QStringLiteral("Invoice \u202Efdp.exe\u202C \u202Bx\u202C \u2066y\u2069 "
                                     "Auf\u00ADgabe \U0001F469\u200D\U0001F4BB \u0645\u200C\u0646"));
        item->set(key::category, QStringLiteral("\u2067work\u2069"));
        item->set(key::due, "2003-05-01 09:00:00 +0200");
        const QString list = test::writeList(path("bidi \u202E.todo"), {item});
        const QString name = QStringLiteral("Invoice \\u202efdp.exe\\u202c \\u202bx\\u202c \\u2066y\\u2069 "
                                            "Auf\u00ADgabe \U0001F469\u200D\U0001F4BB \u0645\u200C\u0646");
        const QString shownList = path("bidi \\u202e.todo");
        for (const QStringList& args :
             {QStringList{"show", list}, QStringList{"find", "invoice", list}, QStringList{"agenda", list}}) {
            const test::CliRun run = test::runCli(args);
            QCOMPARE(run.exitCode, 0);
            QVERIFY2(run.out.contains(name), qPrintable(run.out));
            for (const char16_t bidi :
                 {0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x2066, 0x2067, 0x2068, 0x2069})
                QVERIFY2(!run.out.contains(QChar(bidi)), qPrintable(run.out));
            if (args.first() != "show")
                QVERIFY2(run.out.contains(shownList), qPrintable(run.out));
        }
        QVERIFY(test::runCli({"agenda", list}).out.contains("\t\\u2067work\\u2069\t"));
        // JSON too: escaped the JSON way, which its readers take back as the very characters.
        for (const QStringList& args : {QStringList{"dump", list}, QStringList{"agenda", "--json", list}}) {
            const test::CliRun run = test::runCli(args);
            QCOMPARE(run.exitCode, 0);
            for (const char16_t bidi : {0x202B, 0x202C, 0x202E, 0x2066, 0x2067, 0x2069})
                QVERIFY2(!run.out.contains(QChar(bidi)), qPrintable(run.out));
            QVERIFY2(run.out.contains("\\u2067work\\u2069"), qPrintable(run.out));
            QVERIFY2(run.out.contains(u"Auf\u00ADgabe"), qPrintable(run.out));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliSafety)
#include "tst_cli_safety.moc"
