// Loads and saves a large generated list and prints the cost.
#include "support/list_generator.h"

#include "model/keys.h"
#include "storage/list_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace tardigo;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 100000;
    const NodePtr root = bench::generateList(count);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.todo"));
    QElapsedTimer timer;
    timer.start();
    const QString error = writeListFile(path, root);
    const double saveMs = double(timer.nsecsElapsed()) / 1e6;
    if (!error.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    timer.restart();
    const ListLoad load = readListFile(path);
    const double loadMs = double(timer.nsecsElapsed()) / 1e6;
    if (!load.ok()) {
        fprintf(stderr, "%s\n", qPrintable(load.error));
        return 1;
    }
    const double megabytes = double(QFileInfo(path).size()) / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    printf("items: %d\nfile size: %.1f MB\nsave: %.0f ms (%.0f MB/s)\nload: %.0f ms (%.0f MB/s)\npeak RSS: %.0f MB\n",
           count, megabytes, saveMs, megabytes / (saveMs / 1000.0), loadMs, megabytes / (loadMs / 1000.0),
           double(usage.ru_maxrss) / 1024.0);
    return 0;
}
