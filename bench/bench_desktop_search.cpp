// Measures the desktop's search over 200 lists of 500 items that the running Tardigo has read
// already: each search asks every file whether it changed and looks through every item, as a call
// from the desktop does. Reading the lists the first time is printed too.

#include "archive/list_file.h"
#include "desktop_search/core/desktop_search.h"
#include "desktop_search/core/list_shelf.h"
#include "support/list_generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>

using namespace tardigo;

namespace {

constexpr int kLists = 200;
constexpr int kItemsEach = 500;
constexpr int kRuns = 20;
constexpr double kTargetMsecs = 100;

SearchedLists searchedLists(ListShelf& shelf, const QStringList& paths) {
    SearchedLists lists;
    for (const QString& path : paths)
        if (std::shared_ptr<const ListIndex> list = shelf.list(path))
            lists.push_back(std::move(list));
    return lists;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A line for each list written would measure the terminal.
    QLoggingCategory::setFilterRules(QStringLiteral("tardigo.*.debug=false"));
    QTemporaryDir folder;
    QStringList paths;
    for (int list = 0; list < kLists; ++list) {
        const QString path = QDir(folder.path()).filePath(QStringLiteral("list%1.todo").arg(list));
        if (const QString error = writeListFile(path, bench::generateList(kItemsEach, unsigned(list + 1)));
            !error.isEmpty())
            qFatal("%s", qPrintable(error));
        paths << path;
    }
    const qint64 items = qint64(kLists) * kItemsEach;
    std::printf("desktop search over %d lists, %lld items\n", kLists, static_cast<long long>(items));

    ListShelf shelf;
    QElapsedTimer timer;
    timer.start();
    const long long read = searchedLists(shelf, paths).size();
    std::printf("%-36s %8.1f ms  (%lld lists)\n", "reading the lists (once)",
                double(timer.nsecsElapsed()) / 1e6, read);

    const QStringList queries[] = {{"zebra"}, {"renew", "insurance"}, {"milk"}, {"e"}};
    for (const QStringList& terms : queries) {
        long long found = 0;
        timer.restart();
        for (int run = 0; run < kRuns; ++run)
            found = searchLists(searchedLists(shelf, paths), terms).size();
        const double msecs = double(timer.nsecsElapsed()) / 1e6 / kRuns;
        std::printf("search \"%-26s %8.1f ms  (target %3.0f ms)  %5.1f ns an item  %2lld results  %s\n",
                    qPrintable(terms.join(u' ') + u'"'), msecs, kTargetMsecs, msecs * 1e6 / double(items),
                    found, msecs <= kTargetMsecs ? "ok" : "MISSED");
    }
    if (shelf.reads() != kLists)
        std::printf("MISSED: the lists were read %d times, not once each\n", shelf.reads());
    return 0;
}
