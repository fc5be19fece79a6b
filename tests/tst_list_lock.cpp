#include "archive/list_file.h"
#include "platform/file_identity.h"
#include "platform/list_lock.h"
#include "test_support.h"

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

/// Another program holding the list's lock until it is stopped.
class OtherWriter {
public:
    explicit OtherWriter(const QString& listPath) {
        // The shell becomes the sleep that holds the lock, so stopping it lets go.
        _process.start(QStringLiteral("sh"),
                       {QStringLiteral("-c"), QStringLiteral("exec 9<>\"$0\" && flock 9 && exec sleep 30"),
                        ListLock::lockFilePath(listPath)});
        // Holding once this process can no longer have it.
        while (ListLock(listPath, 0ms).isLocked())
            QThread::msleep(10);
    }
    ~OtherWriter() { stop(); }
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
                const ListLock inner(path("./nested.todo"), 0ms);
                QVERIFY(inner.isLocked());
                QVERIFY(writeListFile(list, newListRoot()).isEmpty());
            }
            QVERIFY(!otherProgramCanLock(lockFile)); // the outer holder still has it
        }
        QVERIFY(otherProgramCanLock(lockFile));
        QVERIFY(QFile::exists(lockFile)); // left for the next writer to find
    }

    void anotherThreadWaitsAsAnotherProgramWould() {
        // A sync on a worker thread and a save on the interface thread must not share the lock.
        const QString list = path("threads.todo");
        std::optional<ListLock> held(std::in_place, list);
        const auto lockOnAnotherThread = [&](std::chrono::milliseconds wait, bool letGoMeanwhile) {
            bool locked = false;
            std::unique_ptr<QThread> other(
                QThread::create([&] { locked = ListLock(list, wait).isLocked(); }));
            other->start();
            if (letGoMeanwhile) {
                QThread::msleep(100);
                held.reset();
            }
            other->wait();
            return locked;
        };
        QVERIFY(!lockOnAnotherThread(0ms, false));
        QVERIFY(lockOnAnotherThread(10000ms, true));
    }

    void aWriterWaitsABoundedTimeThenSaysWhy() {
        const QString list = path("busy.todo");
        OtherWriter other(list);
        QElapsedTimer timer;
        timer.start();
        const ListLock refused(list, 300ms);
        QVERIFY(timer.elapsed() >= 300);
        QVERIFY(!refused.isLocked());
        QCOMPARE(refused.error(), "“busy.todo” is being changed by another program, which still held it "
                                  "after 0.3 seconds. Try again when it has finished.");
        QVERIFY(!QFile::exists(list)); // nothing was written meanwhile

        other.stop();
        QVERIFY(ListLock(list, 0ms).isLocked());
    }

    void aSaveWaitsForAnotherWriterToFinish() {
        const QString list = path("waits.todo");
        QProcess other;
        other.start(QStringLiteral("flock"),
                    {ListLock::lockFilePath(list), QStringLiteral("sleep"), QStringLiteral("0.5")});
        while (ListLock(list, 0ms).isLocked())
            QThread::msleep(10);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(writeListFile(list, newListRoot()).isEmpty());
        QVERIFY(timer.elapsed() >= 200);
        QVERIFY(other.waitForFinished());
    }

    void aListWhoseFolderCannotHoldALockIsNotWritten() {
        const ListLock lock(path("no/such/folder/list.todo"), 0ms);
        QVERIFY(!lock.isLocked());
        QCOMPARE(lock.error(),
                 "Could not lock “list.todo” against other programs writing it: No such file or directory.");
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
