#include "archive/list_file.h"
#include "platform/file_identity.h"
#include "platform/list_lock.h"
#include "platform/lock_holder.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <optional>

#include <sys/stat.h>
#include <sys/time.h>

using namespace tardigo;
using namespace std::chrono_literals;

namespace {

/// Whether another program could take the lock file at once: flock(1) tries it.
bool otherProgramCanLock(const QString& lockFile) {
    return QProcess::execute(QStringLiteral("flock"),
                             {QStringLiteral("-n"), lockFile, QStringLiteral("true")}) == 0;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Another program holding the list's lock until it is stopped; it writes `record` into the lock
/// file once it holds it, "$$" standing for its process id.
class OtherWriter {
public:
    explicit OtherWriter(const QString& listPath, const QString& record = QString()) {
        // The shell becomes the sleep that holds the lock, keeping its process id; it says when it
        // holds it, once flock(1), which took it for the shell, has ended.
        _process.start(
            QStringLiteral("sh"),
            {QStringLiteral("-c"),
             QStringLiteral("exec 9<>\"$0\" && flock 9 && printf \"%1\" >&9 && echo held && exec sleep 30")
                 .arg(record),
             ListLock::lockFilePath(listPath)});
        QVERIFY(_process.waitForReadyRead());
    }
    ~OtherWriter() { stop(); }
    qint64 pid() const { return _process.processId(); }
    void stop() {
        _process.kill();
        _process.waitForFinished();
    }

private:
    QProcess _process;
};

} // namespace

class TestListLock : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    QString path(const QString& name) const { return _dir.filePath(name); }

private slots:
    void theLockLiesBesideTheListForEverySpelling() {
        const QString list = path("groceries.todo");
        QVERIFY(writeListFile(list, newListRoot()).isEmpty());
        QVERIFY(QFile::link(list, path("link.todo")));
        const QString lockFile = path(".groceries.todo.lock");
        for (const QString& spelling : {list, path("./groceries.todo"), path("link.todo")})
            QCOMPARE(ListLock::lockFilePath(spelling), lockFile);
        QCOMPARE(ListLock::lockFilePath(path("new.todo")), path(".new.todo.lock"));
    }

    void aLockNestsInOneProcessAndKeepsOtherProgramsOut() {
        const QString list = path("nested.todo");
        const QString lockFile = ListLock::lockFilePath(list);
        {
            const ListLock outer(list);
            QVERIFY(outer.isLocked());
            QVERIFY(!otherProgramCanLock(lockFile));
            {
                // The save inside a read-modify-write shares the lock instead of waiting for itself.
                const ListLock inner = ListLock::ifFree(path("./nested.todo"));
                QVERIFY(inner.isLocked());
                QVERIFY(writeListFile(list, newListRoot()).isEmpty());
            }
            QVERIFY(!otherProgramCanLock(lockFile)); // the outer holder still has it
        }
        QVERIFY(otherProgramCanLock(lockFile));
        QVERIFY(QFile::exists(lockFile)); // left for the next writer to find
    }

    void anotherThreadWaitsAsAnotherProgramWouldAndALockPassesBetweenThreads() {
        // A sync on a worker thread and a save on the interface thread must not share the lock.
        const QString list = path("threads.todo");
        std::optional<ListLock> held(std::in_place, list);
        const auto lockOnAnotherThread = [&](bool patient) {
            bool locked = false;
            std::unique_ptr<QThread> other(QThread::create(
                [&] { locked = (patient ? ListLock(list) : ListLock::ifFree(list)).isLocked(); }));
            other->start();
            if (patient) {
                QThread::msleep(100);
                held.reset();
            }
            other->wait();
            return locked;
        };
        QVERIFY(!lockOnAnotherThread(false));
        QVERIFY(lockOnAnotherThread(true));

        // Taken on a worker for this thread, which then holds it, nests in it and lets it go.
        std::optional<ListLock> passed;
        std::unique_ptr<QThread> worker(QThread::create([&, here = QThread::currentThreadId()] {
            ListLock lock(list);
            lock.passTo(here);
            passed.emplace(std::move(lock));
        }));
        worker->start();
        worker->wait();
        QVERIFY(passed && passed->isLocked());
        QVERIFY(ListLock::ifFree(list).isLocked());
        QVERIFY(!otherProgramCanLock(ListLock::lockFilePath(list)));
        passed.reset();
        QVERIFY(otherProgramCanLock(ListLock::lockFilePath(list)));
    }

    void aHolderSaysWhoItIsAndAWaiterNamesIt() {
        const QString list = path("named.todo");
        const QString lockFile = ListLock::lockFilePath(list);
        {
            const ListLock mine(list);
            const std::optional<LockHolder> record = LockHolder::fromText(contentsOf(lockFile));
            QVERIFY(record);
            QCOMPARE(record->pid, QCoreApplication::applicationPid());
            QCOMPARE(record->program, QStringLiteral("tst_list_lock"));
            QVERIFY(record->isRunning() && record->isOnThisMachine());
        }
        QVERIFY(contentsOf(lockFile).isEmpty()); // not taken for the next holder's

        const auto waitFor = [&] {
            std::optional<ListLock::Wait> told;
            const ListLock refused(list, [&](const ListLock::Wait& wait) {
                told = wait;
                return false;
            });
            return std::pair(told, refused.error());
        };
        {
            OtherWriter other(list, QStringLiteral("pid=$$\\nprogram=other-writer\\n"));
            const auto [told, error] = waitFor();
            QVERIFY(told && told->holder);
            QCOMPARE(told->holder->pid, other.pid());
            QCOMPARE(error,
                     QStringLiteral("“named.todo” is being changed by process %1 (other-writer). Try again "
                                    "when it has finished.")
                         .arg(other.pid()));
        }
        // A record naming a process id now used by a later process, one from a program that is gone,
        // none at all, and one whose name would drive a terminal: none of them names a holder that
        // is not there, and what is shown is clean.
        const QString reused =
            QStringLiteral("pid=%1\\nstart=1\\nprogram=reused\\n").arg(QCoreApplication::applicationPid());
        for (const QString& record : {reused, QStringLiteral("pid=999999999\\n"), QString()}) {
            OtherWriter other(list);
            QFile file(lockFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(record.toUtf8().replace("\\n", "\n"));
            file.close();
            const auto [told, error] = waitFor();
            QVERIFY(told && !told->holder);
            QVERIFY2(error.contains("another program, which does not say which"), qPrintable(error));
        }
        const std::optional<LockHolder> forged = LockHolder::fromText(
            "pid=42\nhost=far\x1b[31maway\nprogram=" + QByteArray(1000, 'x') + "\nstart=7");
        QVERIFY(forged);
        QCOMPARE(forged->host, QStringLiteral("far[31maway"));
        QVERIFY(forged->program.size() < 100);
        QVERIFY(forged->isRunning()); // on another machine: it cannot be told otherwise here
        QVERIFY(forged->description().startsWith(QStringLiteral("process 42 (xxxx")));
        QVERIFY(forged->description().endsWith(QStringLiteral(" on host “far[31maway”")));
    }

    void aWriterWaitsForAsLongAsTheHolderRunsAndSaysSo() {
        const QString list = path("busy.todo");
        OtherWriter other(list, QStringLiteral("pid=$$\\n"));
        std::vector<std::chrono::milliseconds> told;
        bool locked = false;
        std::unique_ptr<QThread> writer(QThread::create([&] {
            locked = ListLock(list, [&](const ListLock::Wait& wait) {
                         told.push_back(wait.waited);
                         return true;
                     }).isLocked();
        }));
        writer->start();
        QVERIFY(!writer->wait(1200)); // no giving up while the holder runs
        other.stop();
        QVERIFY(writer->wait(5000));
        QVERIFY(locked);
        QVERIFY(told.size() >= 3);
        QCOMPARE(told.front(), std::chrono::milliseconds(0)); // said at once
        QVERIFY(told.back() >= std::chrono::milliseconds(1000));
    }

    void aSaveWaitsForAnotherWriterToFinish() {
        const QString list = path("waits.todo");
        QProcess other;
        other.start(QStringLiteral("flock"),
                    {ListLock::lockFilePath(list), QStringLiteral("sleep"), QStringLiteral("0.5")});
        while (ListLock::ifFree(list).isLocked())
            QThread::msleep(10);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(writeListFile(list, newListRoot()).isEmpty());
        QVERIFY(timer.elapsed() >= 200);
        QVERIFY(other.waitForFinished());
    }

    void aLockFileThatIsNoPlainFileIsNeitherUsedNorWrittenThrough() {
        const ListLock noFolder(path("no/such/folder/list.todo"));
        QVERIFY(!noFolder.isLocked() && !noFolder.isHeldElsewhere());
        QCOMPARE(noFolder.error(),
                 "Could not lock “list.todo” against other programs writing it: No such file or directory.");

        // A link planted where the lock file lies would have the holder's record written elsewhere.
        const QString victim = path("victim.txt");
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("keep me") == 7);
        file.close();
        QVERIFY(QFile::link(victim, ListLock::lockFilePath(path("linked.todo"))));
        const ListLock linked(path("linked.todo"));
        QVERIFY(!linked.isLocked());
        QVERIFY2(linked.error().contains("symbolic link"), qPrintable(linked.error()));
        QCOMPARE(contentsOf(victim), QByteArray("keep me"));
        QVERIFY(!writeListFile(path("linked.todo"), newListRoot()).isEmpty());
        QVERIFY(!QFile::exists(path("linked.todo")));

        // A pipe would never open for reading alone, and never lock.
        QCOMPARE(::mkfifo(QFile::encodeName(ListLock::lockFilePath(path("piped.todo"))).constData(), 0600),
                 0);
        const ListLock piped(path("piped.todo"));
        QVERIFY2(piped.error().contains("not a plain file"), qPrintable(piped.error()));
    }

    void theIdentityOfAFileTellsWhetherItChanged() {
        const QString list = path("identity.todo");
        QVERIFY(!FileIdentity::of(list));
        QVERIFY(writeListFile(list, newListRoot()).isEmpty());
        const std::optional<FileIdentity> saved = FileIdentity::of(list);
        QVERIFY(saved);
        QCOMPARE(saved->size, QFileInfo(list).size());
        QVERIFY(QFile::link(list, path("identity-link.todo")));
        QCOMPARE(FileIdentity::of(path("identity-link.todo")), saved);
        QCOMPARE(FileIdentity::of(list), saved);

        // Touched in place: the same file, changed.
        const timeval times[2] = {{1'000'000'000, 0}, {1'000'000'000, 500'000}};
        QCOMPARE(::utimes(QFile::encodeName(list).constData(), times), 0);
        const std::optional<FileIdentity> touched = FileIdentity::of(list);
        QVERIFY(touched->isSameFileAs(*saved));
        QVERIFY(touched != saved);
        QCOMPARE(touched->modifiedNsecs, 1'000'000'000'500'000'000LL);

        // Saved again: a new file took its place, even with the same bytes and time.
        QVERIFY(writeListFile(list, newListRoot()).isEmpty());
        QCOMPARE(::utimes(QFile::encodeName(list).constData(), times), 0);
        QVERIFY(!FileIdentity::of(list)->isSameFileAs(*touched));
    }
};

QTEST_GUILESS_MAIN(TestListLock)
#include "tst_list_lock.moc"
