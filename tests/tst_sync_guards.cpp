// What a sync never does, whatever its folder holds and wherever it is stopped: delete what it
// cannot see, keep an item twice, read without bound, leave its folder, sync a list where its owner
// did not bind it, or hold the list while it writes the folder.
#include "sync_fixture.h"

#include "platform/list_lock.h"
#include "sync/sync_bindings.h"
#include "sync/vdir_folder.h"

#include <QFile>

#include <cerrno>
#include <thread>
#include <unistd.h>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// A folder some of whose writes and removals fail, as on a full disk or in a read-only folder; or,
/// as a server that stops answering, all of them from the first that fails.
class FailingFolder : public VdirFolder {
public:
    /// `fails` is asked for each write or removal, counted from 1.
    FailingFolder(const QString& path, int error, std::function<bool(int)> fails, bool staysAway = false)
        : VdirFolder(path), _error(error), _fails(std::move(fails)), _staysAway(staysAway) {}

    QString write(const QString& name, const QByteArray& bytes) override {
        return fails() ? failure(name) : VdirFolder::write(name, bytes);
    }
    QString remove(const QString& name) override {
        return fails() ? failure(name) : VdirFolder::remove(name);
    }
    QString unreachable() const override {
        return _gone ? QStringLiteral("Could not reach the server: %1.").arg(qt_error_string(_error))
                     : QString();
    }
    int attempts() const { return _count; }

private:
    bool fails() {
        const bool failed = _gone || _fails(++_count);
        _gone = failed && _staysAway;
        return failed;
    }
    QString failure(const QString& name) const {
        return QStringLiteral("Could not save “%1”: %2.").arg(name, qt_error_string(_error));
    }

    int _error;
    std::function<bool(int)> _fails;
    bool _staysAway;
    bool _gone = false;
    int _count = 0;
};

/// Changes on both sides since a first sync: each side changes, adds and deletes items, and two
/// items changed on both sides, one later in the list, one later in the folder.
void changeBothSides(SyncedPair& pair) {
    pair.editList(kFirstSync.addSecs(-60), [](const NodePtr& root) {
        for (const char* name : {"A", "B", "C", "D", "E", "F"})
            addItem(*root, QString::fromLatin1(name));
        addItem(*findItem(*root, QStringLiteral("D")), QStringLiteral("D1"));
    });
    QVERIFY(pair.sync(kFirstSync).ok());
    pair.editList(kListEdit, [](const NodePtr& root) {
        rename(*root, QStringLiteral("A"), QStringLiteral("A list"));
        rename(*root, QStringLiteral("B"), QStringLiteral("B list"));
        rename(*root, QStringLiteral("D"), QStringLiteral("D list"));
        remove(root, QStringLiteral("F"));
        addItem(*root, QStringLiteral("L"));
    });
    pair.editFile(QStringLiteral("A"), "SUMMARY:A\r\n", "SUMMARY:A folder\r\n", kListEdit.addSecs(-3600));
    pair.editFile(QStringLiteral("B"), "SUMMARY:B\r\n", "SUMMARY:B folder\r\n", kListEdit.addSecs(3600));
    pair.editFile(QStringLiteral("C"), "SUMMARY:C\r\n", "SUMMARY:C folder\r\n", kListEdit.addSecs(3600));
    QVERIFY(QFile::remove(QDir(pair.folder()).filePath(pair.fileOf(QStringLiteral("E")))));
    // From a phone: no creation date and no order, which the list adds and writes back.
    pair.writeFile(QStringLiteral("phone.ics"), newTodoFile(QStringLiteral("phone-1"), QStringLiteral("N")));
}

const QStringList kMerged{"A list",   "A folder (conflict copy)",
                          "B folder", "B list (conflict copy)",
                          "C folder", "D list",
                          "  D1",     "L",
                          "N"};

/// After a sync that was stopped or failed, the next one ends where an uninterrupted sync would
/// have, and the one after it finds nothing to do.
void checkResumedSync(SyncedPair& pair, const QString& what) {
    const SyncReport resumed = pair.sync(kSecondSync.addSecs(60));
    QVERIFY2(resumed.ok(), qPrintable(what + u' ' + resumed.summary()));
    QVERIFY2(pair.listOutline() == kMerged, qPrintable(what + u' ' + pair.listOutline().join(u'|')));
    QStringList sorted = kMerged;
    sorted.replaceInStrings(QStringLiteral("  "), QString());
    sorted.sort();
    QVERIFY2(pair.fileSummaries() == sorted, qPrintable(what + u' ' + pair.fileSummaries().join(u'|')));
    const SyncReport again = pair.sync(kSecondSync.addSecs(120));
    QVERIFY2(!again.listChanged && again.filesWritten + again.filesRemoved == 0,
             qPrintable(what + u' ' + again.summary()));
}

/// Writes the bytes to a new file, then makes it `size` bytes long (sparse) when a size is given.
void writeBytes(const QString& path, const QByteArray& bytes, qint64 size = -1) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
            (size < 0 || file.resize(size)));
}

} // namespace

class TestSyncGuards : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startCalendarTest(); }

    void removalsWaitWhenTheFolderLostMostOfItsTodos_data() {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<bool>("waits");
        QTest::newRow("emptied") << 12 << 12 << true;
        QTest::newRow("its only to-do") << 1 << 1 << true;
        QTest::newRow("more than half, more than five") << 12 << 7 << true;
        QTest::newRow("half") << 12 << 6 << false;
        QTest::newRow("more than half, five") << 8 << 5 << false;
    }

    void removalsWaitWhenTheFolderLostMostOfItsTodos() {
        QFETCH(int, items);
        QFETCH(int, deleted);
        QFETCH(bool, waits);
        SyncedPair pair;
        pair.editList(kFirstSync, [&](const NodePtr& root) {
            for (int i = 0; i < items; ++i)
                addItem(*root, QStringLiteral("item %1").arg(i));
        });
        QVERIFY(pair.sync(kFirstSync).ok());
        const QStringList files = pair.fileNames();
        for (int i = 0; i < deleted; ++i)
            QVERIFY(QFile::remove(QDir(pair.folder()).filePath(files[i])));
        pair.editList(kListEdit, [](const NodePtr& root) { addItem(*root, QStringLiteral("new")); });
        const QStringList left = pair.fileNames();

        const SyncReport report = pair.sync(kSecondSync);
        QCOMPARE(report.ok(), !waits);
        QCOMPARE(report.itemsRemoved, waits ? 0 : deleted);
        QCOMPARE(pair.listOutline().size(), waits ? items + 1 : items + 1 - deleted);
        if (!waits)
            return;
        // Nothing at all was synced: the list keeps its items, the folder gets no new file.
        QCOMPARE(report.heldRemovals, deleted);
        QCOMPARE(report.lostFiles, deleted);
        QCOMPARE(report.syncedFiles, items);
        QVERIFY2(report.error.contains(deleted == items
                                           ? QStringLiteral("holds none of the")
                                           : QStringLiteral("has lost %1 of the %2").arg(deleted).arg(items)),
                 qPrintable(report.error));
        QCOMPARE(pair.fileNames(), left);

        SyncOptions allowed = pair.options();
        allowed.allowRemovals = true;
        const SyncReport confirmed = pair.sync(kSecondSync.addSecs(60), allowed);
        QVERIFY(confirmed.ok());
        QCOMPARE(confirmed.itemsRemoved, deleted);
        QCOMPARE(confirmed.removedUids.size(), deleted);
        QCOMPARE(pair.listOutline().size(), items + 1 - deleted);
        QVERIFY(pair.fileSummaries().contains(QStringLiteral("new")));
    }

    // A kill after any step of a sync, a write that fails at any file (a full disk), a server that
    // stops answering at any write, and a folder that takes no write at all (read-only) leave the
    // next sync where an uninterrupted one ends, with no item kept twice.
    void interruptionsLeaveNothingToRepeat() {
        SyncedPair reference;
        changeBothSides(reference);
        const SyncReport whole = reference.sync(kSecondSync);
        QVERIFY(whole.ok());
        QCOMPARE(reference.listOutline(), kMerged);
        const qsizetype folderChanges = whole.filesWritten + whole.filesRemoved;
        QVERIFY(folderChanges >= 6);

        for (int stopAfter = 1;; ++stopAfter) {
            SyncedPair pair;
            changeBothSides(pair);
            int steps = 0;
            SyncOptions options = pair.options();
            options.afterStep = [&](SyncStep) { return ++steps < stopAfter; };
            pair.sync(kSecondSync, options);
            checkResumedSync(pair, QStringLiteral("stopped after step %1:").arg(stopAfter));
            if (steps < stopAfter)
                break;
            QVERIFY(stopAfter < 100);
        }
        for (int failing = 1; failing <= folderChanges; ++failing) {
            SyncedPair pair;
            changeBothSides(pair);
            FailingFolder full(pair.folder(), ENOSPC, [=](int count) { return count == failing; });
            const SyncReport report = pair.sync(kSecondSync, full, pair.options());
            QVERIFY(!report.ok());
            QCOMPARE(report.writeFailures.size(), 1);
            QVERIFY2(report.writeFailures.front().contains(QStringLiteral("No space left on device")),
                     qPrintable(report.writeFailures.front()));
            checkResumedSync(pair, QStringLiteral("write %1 failed:").arg(failing));
        }
        for (int failing = 1; failing <= folderChanges; ++failing) {
            SyncedPair pair;
            changeBothSides(pair);
            FailingFolder gone(
                pair.folder(), ECONNREFUSED, [=](int count) { return count == failing; }, true);
            const SyncReport report = pair.sync(kSecondSync, gone, pair.options());
            QVERIFY2(report.unreachable.contains(QStringLiteral("Connection refused")),
                     qPrintable(report.unreachable));
            QCOMPARE(report.writeFailures.size(), 1);
            QCOMPARE(gone.attempts(), failing); // no write after it waits for a server that is gone
            checkResumedSync(pair, QStringLiteral("the server went away at write %1:").arg(failing));
        }
        SyncedPair pair;
        changeBothSides(pair);
        FailingFolder readOnly(pair.folder(), EACCES, [](int) { return true; });
        for (int attempt = 0; attempt < 2; ++attempt) {
            const SyncReport report = pair.sync(kSecondSync.addSecs(attempt), readOnly, pair.options());
            QCOMPARE(report.writeFailures.size(), folderChanges);
            QVERIFY(report.writeFailures.front().contains(QStringLiteral("Permission denied")));
            QCOMPARE(report.conflicts.size(), attempt == 0 ? 2 : 0);
        }
        checkResumedSync(pair, QStringLiteral("read-only folder:"));
    }

    // The list's lock is held for reading and saving the list alone: another writer gets it while
    // the folder's files are written, and what it changes then is synced next time.
    void theListIsFreeWhileTheFolderIsWritten() {
        SyncedPair pair;
        pair.editList(kFirstSync, [](const NodePtr& root) {
            addItem(*root, QStringLiteral("A"));
            addItem(*root, QStringLiteral("B"));
        });
        SyncOptions options = pair.options();
        bool otherWrote = false;
        options.afterStep = [&](SyncStep step) {
            if (step != SyncStep::FileWritten || otherWrote)
                return true;
            // Another program, as a thread of this one is to the lock.
            std::thread other([&] {
                const ListLock lock = ListLock::ifFree(pair.list());
                if (!lock.isLocked())
                    return;
                const NodePtr root = readListFile(pair.list()).root;
                addItem(*root, QStringLiteral("added meanwhile"));
                otherWrote = writeListFile(pair.list(), root).isEmpty();
            });
            other.join();
            return true;
        };
        QVERIFY(pair.sync(kFirstSync, options).ok());
        QVERIFY(otherWrote);
        QCOMPARE(pair.listOutline(), (QStringList{"A", "B", "added meanwhile"}));
        QVERIFY(pair.sync(kSecondSync).ok());
        QCOMPARE(pair.fileSummaries(), (QStringList{"A", "B", "added meanwhile"}));
        QCOMPARE(pair.listOutline(), (QStringList{"A", "B", "added meanwhile"}));
    }

    // A file larger than the limit is refused before it is read; its item waits, neither removed
    // nor copied.
    void oversizedFilesAreNotRead() {
        SyncedPair pair;
        pair.editList(kFirstSync, [](const NodePtr& root) {
            addItem(*root, QStringLiteral("A"));
            addItem(*root, QStringLiteral("B"));
        });
        QVERIFY(pair.sync(kFirstSync).ok());
        const QString a = QDir(pair.folder()).filePath(pair.fileOf(QStringLiteral("A")));
        writeBytes(a, pair.bytesOf(pair.fileOf(QStringLiteral("A"))), VdirFolder::kMaxFileBytes + 1);
        writeBytes(QDir(pair.folder()).filePath(QStringLiteral("huge.ics")), newTodoFile("h", "Huge"),
                   qint64(3) * 1024 * 1024 * 1024 / 2);

        const SyncReport report = pair.sync(kSecondSync);
        QVERIFY(report.ok());
        QCOMPARE(report.problems.size(), 2);
        for (const QString& problem : report.problems)
            QVERIFY2(problem.contains(QStringLiteral("is larger than 64 MB")), qPrintable(problem));
        QCOMPARE(pair.listOutline(), (QStringList{"A", "B"}));
        QCOMPARE(QFileInfo(a).size(), VdirFolder::kMaxFileBytes + 1);
    }

    // Links in the folder are never followed, for reading or for writing; a name that is not UTF-8
    // is reported; and what the command line prints of the folder is escaped.
    void theFolderIsTheFolder() {
        QTemporaryDir outside;
        const QString secret = outside.filePath(QStringLiteral("secret.ics"));
        const QByteArray secretBytes = newTodoFile(QStringLiteral("outside-1"), QStringLiteral("Outside"));
        writeBytes(secret, secretBytes);
        const QString passwd = outside.filePath(QStringLiteral("passwd"));
        writeBytes(passwd, "root:x:0:0:\x1b[31m\n");

        SyncedPair pair;
        pair.editList(kFirstSync, [](const NodePtr& root) {
            addItem(*root, QStringLiteral("A"))->set(key::uid, QStringLiteral("a-uid"));
        });
        const QDir folder(pair.folder());
        QVERIFY(QFile::link(secret, folder.filePath(QStringLiteral("linked.ics"))));
        QVERIFY(QFile::link(passwd, folder.filePath(QStringLiteral("passwd.ics"))));
        const QString nowhere = outside.filePath(QStringLiteral("created.ics"));
        QVERIFY(QFile::link(nowhere, folder.filePath(QStringLiteral("a-uid.ics"))));
        const QByteArray latin1Name = QFile::encodeName(pair.folder()) + "/caf\xe9.ics";
        FILE* odd = fopen(latin1Name.constData(), "w");
        QVERIFY(odd);
        fputs(newTodoFile(QStringLiteral("latin-1"), QStringLiteral("Latin")).constData(), odd);
        fclose(odd);
        pair.writeFile(QStringLiteral("\x1b[2J.ics"), "BEGIN:VCALENDAR\r\n\x1b]0;owned\x07\r\n");

        const SyncReport report = pair.sync(kFirstSync);
        QVERIFY(report.ok());
        QCOMPARE(pair.listOutline(), QStringList{"A"});
        QVERIFY(!QFile::exists(nowhere));
        QCOMPARE(QFile(secret).size(), secretBytes.size()); // and was not written through its link
        QVERIFY(pair.fileSummaries().contains(QStringLiteral("A")));
        QVERIFY(QFileInfo(folder.filePath(QStringLiteral("a-uid.ics"))).isSymLink());
        QCOMPARE(report.problems.filter(QStringLiteral("is a symbolic link")).size(), 3);
        QCOMPARE(report.problems.filter(QStringLiteral("not UTF-8")).size(), 1);
        QVERIFY(report.problems.filter(QStringLiteral("root:x")).isEmpty());

        const CliRun cli = runCli({QStringLiteral("sync"), pair.list(), pair.folder()});
        QCOMPARE(cli.exitCode, 0);
        QVERIFY2(!cli.err.contains(QChar(0x1b)) && !cli.err.contains(QChar(0x07)), qPrintable(cli.err));
        QVERIFY2(cli.err.contains(QStringLiteral("\\x1b[2J.ics")), qPrintable(cli.err));
        QVERIFY(!cli.err.contains(QStringLiteral("root:x")));
        QCOMPARE(::unlink(latin1Name.constData()), 0); // which QTemporaryDir cannot name
    }

    void aListSyncsOnlyWhereItsOwnerBoundIt() {
        SyncedPair pair;
        pair.editList(kFirstSync, [](const NodePtr& root) { addItem(*root, QStringLiteral("A")); });
        QVERIFY(pair.sync(kFirstSync).ok());
        SyncOptions unbound = pair.options();
        unbound.bind = false;

        // A copy names the same folder, and must not change it.
        const QString copy = pair.list() + QStringLiteral(".copy.todo");
        QVERIFY(QFile::copy(pair.list(), copy));
        const NodePtr copied = readListFile(copy).root;
        addItem(*copied, QStringLiteral("B in the copy"));
        QVERIFY(writeListFile(copy, copied).isEmpty());
        const QStringList files = pair.fileNames();
        SyncReport report = syncList(copy, pair.folder(), unbound);
        QVERIFY(!report.ok() && report.unbound);
        QVERIFY2(report.error.contains(copy), qPrintable(report.error));
        QCOMPARE(pair.fileNames(), files);

        // A pair that has sync state from before bindings were kept counts as bound.
        QVERIFY(QDir(pair.stateFolder() + QStringLiteral("/bindings")).removeRecursively());
        QVERIFY(pair.sync(kSecondSync, unbound).ok());
        QVERIFY(!syncList(copy, pair.folder(), unbound).ok());

        // Naming a folder binds the list to it, and to it alone.
        QTemporaryDir other;
        QVERIFY(syncList(pair.list(), other.path(), pair.options()).ok());
        QVERIFY(pair.sync(kSecondSync.addSecs(60), unbound).unbound);
        QVERIFY(syncList(copy, pair.folder(), pair.options()).ok());
        QCOMPARE(pair.fileSummaries(), (QStringList{"A", "B in the copy"}));

        // The command line says what to run.
        const CliRun cli = runCli({QStringLiteral("sync"), pair.list()});
        QCOMPARE(cli.exitCode, 1);
        QVERIFY2(cli.err.contains(QStringLiteral("tardigo-cli sync %1 %2").arg(pair.list(), other.path())),
                 qPrintable(cli.err));
    }

    // From the command line: a folder that lost its to-dos removes items only with --allow-removals,
    // and a full disk makes the sync fail, naming the file, with nothing to copy afterwards.
    void theCommandLineStopsAndSaysWhy() {
        QTemporaryDir dir;
        const QString list = dir.filePath(QStringLiteral("l.todo")),
                      folder = dir.filePath(QStringLiteral("f"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("f")));
        for (const QStringList& args :
             {QStringList{"new", list}, {"add", list, "rent"}, {"add", list, "milk"}})
            QCOMPARE(runCli(args).exitCode, 0);
        QCOMPARE(runCli({QStringLiteral("sync"), list, folder}).exitCode, 0);

        const NodePtr root = readListFile(list).root;
        rename(*root, QStringLiteral("rent"), QStringLiteral("rent paid"));
        QVERIFY(writeListFile(list, root).isEmpty());
        const CliRun full = runCliOnFullDisk({QStringLiteral("sync"), list});
        QCOMPARE(full.exitCode, 1);
        QVERIFY2(full.err.contains(QStringLiteral(".ics")) &&
                     full.err.contains(QStringLiteral("Could not save")),
                 qPrintable(full.err));
        QCOMPARE(runCli({QStringLiteral("sync"), list}).exitCode, 0);
        QCOMPARE(runCli({QStringLiteral("sync"), list}).out.trimmed(),
                 list + QStringLiteral(": nothing changed"));

        for (const QString& name : QDir(folder).entryList(QDir::Files))
            QVERIFY(QFile::remove(QDir(folder).filePath(name)));
        const CliRun held = runCli({QStringLiteral("sync"), list});
        QCOMPARE(held.exitCode, 1);
        QVERIFY2(held.err.contains(QStringLiteral("holds none of the 2 to-dos")), qPrintable(held.err));
        QVERIFY2(held.err.contains(QStringLiteral("tardigo-cli sync %1 --allow-removals").arg(list)),
                 qPrintable(held.err));
        QCOMPARE(readListFile(list).root->value(key::children).asArray()->size(), 2);
        const CliRun allowed = runCli({QStringLiteral("sync"), list, QStringLiteral("--allow-removals")});
        QCOMPARE(allowed.exitCode, 0);
        QVERIFY2(allowed.out.contains(QStringLiteral("2 items removed")), qPrintable(allowed.out));
    }
};

QTEST_GUILESS_MAIN(TestSyncGuards)
#include "tst_sync_guards.moc"
