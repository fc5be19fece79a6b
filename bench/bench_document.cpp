// Measures the document's window logic on a large generated list, its outline's model following
// every change: in-place edits, a sort by each column and the hide-completed switch. Each step is
// timed in CPU time of this thread, which a busy machine does not inflate, and in wall time.
#include "support/list_generator.h"
#include "support/thread_cpu_time.h"

#include "document/tardigo_document.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

using namespace tardigo;

namespace {

int failures = 0;

struct Cost {
    double cpuMs;
    double wallMs;
};

/// Runs the step and the calls it deferred; the model tells its rows as the step goes.
template <typename Step> Cost timed(Step step) {
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = bench::threadCpuMs();
    step();
    QCoreApplication::processEvents();
    return {bench::threadCpuMs() - cpuStart, double(wall.nsecsElapsed()) / 1e6};
}

/// Every item the model shows, depth first.
std::vector<NodePtr> shownItems(const OutlineItemModel& model) {
    std::vector<NodePtr> items;
    std::vector<QModelIndex> pending{QModelIndex()};
    while (!pending.empty()) {
        const QModelIndex parent = pending.back();
        pending.pop_back();
        for (int row = model.rowCount(parent); row-- > 0;)
            pending.push_back(model.index(row, 0, parent));
        if (parent.isValid())
            items.push_back(model.itemForIndex(parent));
    }
    return items;
}

void report(const QString& what, Cost cost, double limitMs) {
    const bool ok = cost.cpuMs < limitMs;
    failures += ok ? 0 : 1;
    printf("%-30s %8.1f ms CPU %8.1f ms wall  (limit %.0f ms) %s\n", qPrintable(what), cost.cpuMs,
           cost.wallMs, limitMs, ok ? "ok" : "TOO SLOW");
}

/// The median and the worst of nine edits of items in the middle of the list; selecting the item
/// first is the user's click, not part of the edit.
template <typename Edit>
void reportEdits(const QString& what, TardigoDocument& document, int middle, Edit edit) {
    const std::vector<NodePtr> rows = shownItems(document.outlineModel());
    std::vector<Cost> costs;
    for (int i = 0; i < 9; ++i) {
        const NodePtr& item = rows.at(size_t(middle + i));
        document.selection().selectItems({item});
        costs.push_back(timed([&] { edit(i, item); }));
    }
    std::sort(costs.begin(), costs.end(), [](const Cost& a, const Cost& b) { return a.cpuMs < b.cpuMs; });
    report(what + QStringLiteral(" (median)"), costs[costs.size() / 2], 20);
    report(what + QStringLiteral(" (worst)"), costs.back(), 20);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Settings::instance().useMemoryOnly();
    const int count = argc > 1 ? atoi(argv[1]) : 100000;

    TardigoDocument document;
    document.data()->set(key::children, childrenOf(*bench::generateList(count)));
    QElapsedTimer built;
    built.start();
    const double cpuStart = bench::threadCpuMs();
    const size_t rows = shownItems(document.outlineModel()).size(); // the model is made when first asked
    report(QStringLiteral("outline model made and walked"),
           {bench::threadCpuMs() - cpuStart, double(built.nsecsElapsed()) / 1e6}, 300);
    printf("items: %lld, rows shown: %zu\n", countItemsIncludingChildren(*document.data()).total, rows);

    reportEdits(QStringLiteral("edit a name"), document, count / 2, [&](int i, const NodePtr& item) {
        document.setCellValue(Value(QStringLiteral("renamed %1").arg(i)), Column::Name, item);
    });
    reportEdits(QStringLiteral("edit a completion"), document, count / 2, [&](int i, const NodePtr& item) {
        document.setCellValue(Value::float32(i % 2 ? 1.0 : 0.25), Column::Completion, item);
    });

    for (const Column column : outlineColumns())
        report(QStringLiteral("sort by %1").arg(columnIdentifier(column)),
               timed([&] { document.sorting().headerClicked(column); }), 300);
    // A second click on the column sorted last sorts it descending.
    report(QStringLiteral("sort by completion, descending"),
           timed([&] { document.sorting().headerClicked(Column::Completion); }), 300);

    report(QStringLiteral("hide completed items"),
           timed([&] { document.outlineCommands().toggleHideCompletedItems(true); }), 100);
    report(QStringLiteral("show completed items"),
           timed([&] { document.outlineCommands().toggleHideCompletedItems(false); }), 100);
    return failures == 0 ? 0 : 1;
}
