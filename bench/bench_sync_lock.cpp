// A first sync of a large generated list (30,000 items by default) with an empty folder, while 40
// runs of "tardigo-cli add" change the list, started one every second (or as the second argument
// says, in milliseconds) from the sync's start: prints how long the sync held the list's lock, how
// long one add takes alone, how many adds succeeded, and the longest an add took, waiting included.
#include "support/list_generator.h"

#include "archive/list_file.h"
#include "model/item_walk.h"
#include "sync/list_sync.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

using namespace tardigo;

namespace {

constexpr int kAdds = 40;

qsizetype itemCount(const QString& list) {
    qsizetype items = 0;
    forEachItemBelow(*readListFile(list).root, [&](const NodePtr&, const Dict&, qsizetype) { ++items; });
    return items;
}

struct AddRun {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QElapsedTimer took;

    void start(const QString& list, const QString& name) {
        took.start();
        process->start(QStringLiteral(TARDIGO_CLI_PATH), {QStringLiteral("add"), list, name});
    }
    /// Waits for it to end; whether it succeeded.
    bool finish() {
        process->waitForFinished(-1);
        if (process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0)
            return true;
        fprintf(stderr, "%s", process->readAllStandardError().constData());
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 30000;
    const int intervalMs = argc > 2 ? atoi(argv[2]) : 1000;
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("vdir"));
    const QString list = dir.filePath(QStringLiteral("list.todo"));
    if (!writeListFile(list, bench::generateList(count)).isEmpty())
        return 1;
    AddRun alone;
    alone.start(list, QStringLiteral("added alone"));
    if (!alone.finish())
        return 1;
    const qint64 aloneMs = alone.took.elapsed();
    const qsizetype before = itemCount(list);

    // The sync takes the list's lock after reading the empty folder and lets go of it once the list
    // is saved, just before its first step: the time to that step bounds the hold.
    QElapsedTimer sync;
    qint64 heldAtMostMs = -1;
    SyncOptions options;
    options.bind = true;
    options.stateFolder = dir.filePath(QStringLiteral("state"));
    options.afterStep = [&](SyncStep step) {
        if (step == SyncStep::ListSaved)
            heldAtMostMs = sync.elapsed();
        return true;
    };
    SyncReport report;
    sync.start();
    std::unique_ptr<QThread> syncing(
        QThread::create([&] { report = syncList(list, dir.filePath(QStringLiteral("vdir")), options); }));
    syncing->start();

    std::vector<AddRun> adds(kAdds);
    for (int i = 0; i < kAdds; ++i) {
        adds[size_t(i)].start(list, QStringLiteral("added %1").arg(i));
        QThread::msleep(quint64(intervalMs));
    }
    qint64 longestAddMs = 0;
    int succeeded = 0;
    for (AddRun& add : adds) {
        succeeded += add.finish() ? 1 : 0;
        longestAddMs = std::max(longestAddMs, add.took.elapsed());
    }
    syncing->wait();
    const qint64 syncMs = sync.elapsed();
    const qsizetype items = itemCount(list);

    printf("first sync of %d items: %lld ms in all, %d files written; the list's lock held at most %lld ms "
           "(%.1f%% of the sync)\n",
           count, syncMs, report.filesWritten, heldAtMostMs, 100.0 * double(heldAtMostMs) / double(syncMs));
    printf("%d tardigo-cli add runs during it, one every %d ms (one alone takes %lld ms): %d succeeded, the "
           "longest took %lld ms; the list holds %lld items (%lld expected)\n",
           kAdds, intervalMs, aloneMs, succeeded, longestAddMs, qlonglong(items), qlonglong(before + kAdds));
    return report.ok() && succeeded == kAdds && items == before + kAdds ? 0 : 1;
}
