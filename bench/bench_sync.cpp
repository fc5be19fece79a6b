// Syncs a large generated list with a vdir folder: once to fill the folder, then with nothing
// changed, then with one item changed, and prints the time of each.
#include "support/list_generator.h"

#include "archive/list_file.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "sync/list_sync.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace tardigo;

namespace {

struct Timing {
    double ms = 0;
    double cpuMs = 0;
};

Timing timedSync(const QTemporaryDir& dir, SyncReport* report) {
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    SyncOptions options;
    options.bind = true;
    options.stateFolder = dir.filePath(QStringLiteral("state"));
    *report =
        syncList(dir.filePath(QStringLiteral("list.todo")), dir.filePath(QStringLiteral("vdir")), options);
    return {double(timer.nsecsElapsed()) / 1e6, double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("vdir"));
    const QString list = dir.filePath(QStringLiteral("list.todo"));
    if (!writeListFile(list, bench::generateList(count)).isEmpty())
        return 1;
    SyncReport report;
    const Timing first = timedSync(dir, &report);
    printf("first sync of %d items: %.0f ms (%.0f ms of processor time), %d files written\n", count, first.ms,
           first.cpuMs, report.filesWritten);
    const Timing unchanged = timedSync(dir, &report);
    printf("sync with nothing changed: %.0f ms (%.1f us per item; target under 1 s for 10,000), %.0f ms of "
           "processor time, %d files written\n",
           unchanged.ms, unchanged.ms * 1000.0 / count, unchanged.cpuMs, report.filesWritten);
    const NodePtr root = readListFile(list).root;
    const DictPtr item = childrenOf(*root)->items.front().asDict();
    item->set(key::name, QStringLiteral("renamed for the benchmark"));
    writeListFile(list, root);
    const Timing oneChange = timedSync(dir, &report);
    printf(
        "sync with one item changed: %.0f ms (%.1f us per item; target under 1.2 s for 10,000), %.0f ms of "
        "processor time, %d file written\n",
        oneChange.ms, oneChange.ms * 1000.0 / count, oneChange.cpuMs, report.filesWritten);
    return report.ok() ? 0 : 1;
}
