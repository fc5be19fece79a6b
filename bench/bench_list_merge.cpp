// Measures what a list's merge with its changed file costs on a large list: taking the base, as every
// read and save of a document does, beside the read and the save themselves; and the merge of a file
// in which another program changed, added and removed items while the window changed others. Times
// are the thread's CPU time, which a busy machine does not inflate.
//
// Usage: bench_list_merge [COUNT]   (100,000 items unless told)
#include "support/list_generator.h"
#include "support/thread_cpu_time.h"

#include "archive/list_file.h"
#include "merge/list_merge.h"
#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace tardigo;

namespace {

/// The thread's CPU time that the call took, in ms.
template <typename Call> double cpuMsOf(Call&& call) {
    const double start = bench::threadCpuMs();
    call();
    return bench::threadCpuMs() - start;
}

/// Every `step`-th item of the tree, in its order.
std::vector<NodePtr> everyNth(const Dict& root, int step) {
    std::vector<NodePtr> items;
    int at = 0;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict&, qsizetype) {
        if (at++ % step == 0)
            items.push_back(item);
    });
    return items;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.todo"));
    const NodePtr ours = bench::generateList(count);

    QString error;
    const double saveMs = cpuMsOf([&] { error = writeListFile(path, ours); });
    if (!error.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ListLoad theirs;
    const double loadMs = cpuMsOf([&] { theirs = readListFile(path); });
    std::optional<ListBase> base;
    const double baseMs = cpuMsOf([&] { base.emplace(*ours); });

    // The other program's version: one item in a hundred renamed, one in a thousand removed, a
    // thousand added; here, one in a hundred changed its category, a few the same as there.
    if (!theirs.ok()) {
        fprintf(stderr, "%s\n", qPrintable(theirs.error));
        return 1;
    }
    for (const NodePtr& item : everyNth(*theirs.root, 100))
        item->set(key::category, QStringLiteral("changed there"));
    for (const NodePtr& item : everyNth(*theirs.root, 1000))
        deleteItemFromTree(theirs.root, item.get());
    const NodePtr added = bench::generateList(1000);
    for (const Value& item : childrenOf(*added)->items)
        childrenOf(*theirs.root)->items.push_back(item);
    for (const NodePtr& item : everyNth(*ours, 97))
        item->set(key::category, QStringLiteral("changed here"));

    ListMerge merge;
    const double mergeMs = cpuMsOf([&] { merge = mergeLists(*base, ours, theirs.root); });
    if (!merge.ok()) {
        fprintf(stderr, "the merge was refused\n");
        return 1;
    }
    printf("items: %d\n", count);
    printf(
        "base at a read or save: %.0f ms, %.2f us per item; %.2f of the read's time (%.0f ms), %.2f of the "
        "save's (%.0f ms)\n",
        baseMs, baseMs * 1000.0 / count, baseMs / loadMs, loadMs, baseMs / saveMs, saveMs);
    printf("merge: %.0f ms, %.2f us per item (%d changed here, %d there, %d conflicts, %zu nodes changed)\n",
           mergeMs, mergeMs * 1000.0 / count, merge.changedHere, merge.changedThere,
           int(merge.conflicts.size()), merge.changes.size());
    return 0;
}
