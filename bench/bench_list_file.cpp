// Saves a large generated list, then loads it back, and prints the time and the peak memory of
// each phase. The generated tree is freed before the load, so the load's peak is its own: the
// loaded tree plus whatever the load holds on the way. A save is all a user's save is: the list's
// lock, the archive streamed into the save file, its flush and sync to disk checked, the commit;
// it is timed over several saves of the same list, after the first, whose peak memory is shown.
//
// Usage: bench_list_file [COUNT] [--keep PATH]   (--keep writes the list to PATH and leaves it)
#include "support/list_generator.h"

#include "archive/list_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace tardigo;

namespace {

/// Starts a new high-water mark of this process's resident memory at its current size.
void resetPeakMemory() {
    malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        fprintf(stderr, "cannot reset the peak memory; the figures below include earlier phases\n");
}

/// The high-water mark of resident memory since the last reset, in MB.
double peakMemoryMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return double(line.mid(6).trimmed().split(' ').front().toLongLong()) / 1024.0;
    return 0;
}

constexpr int kSaves = 5;

/// The median of the times, in ms.
double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void printPhase(const char* what, double ms, double megabytes, double peak) {
    printf("%s: %.0f ms (%.0f MB/s)\npeak RSS during %s: %.0f MB\n", what, ms, megabytes / (ms / 1000.0),
           what, peak);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int count = 100000;
    QString keptPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc)
            keptPath = QString::fromLocal8Bit(argv[++i]);
        else
            count = atoi(argv[i]);
    }

    QTemporaryDir dir;
    const QString path = keptPath.isEmpty() ? dir.filePath(QStringLiteral("bench.todo")) : keptPath;
    std::vector<double> saveTimes;
    double savePeak = 0;
    {
        const NodePtr root = bench::generateList(count);
        resetPeakMemory();
        for (int i = 0; i < kSaves; ++i) {
            QElapsedTimer timer;
            timer.start();
            const QString error = writeListFile(path, root);
            saveTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (i == 0)
                savePeak = peakMemoryMegabytes();
            if (!error.isEmpty()) {
                fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
        }
    }
    const double saveMs = median(saveTimes);

    resetPeakMemory();
    QElapsedTimer timer;
    timer.start();
    const ListLoad load = readListFile(path);
    const double loadMs = double(timer.nsecsElapsed()) / 1e6;
    const double loadPeak = peakMemoryMegabytes();
    if (!load.ok()) {
        fprintf(stderr, "%s\n", qPrintable(load.error));
        return 1;
    }

    const double megabytes = double(QFileInfo(path).size()) / 1e6;
    printf("items: %d\nfile size: %.1f MB\n", count, megabytes);
    printPhase("save", saveMs, megabytes, savePeak);
    printf(
        "save with the lock and the disk check, median of %d: %.0f ms (%.0f to %.0f ms), %.2f us per item\n",
        kSaves, saveMs, *std::min_element(saveTimes.begin(), saveTimes.end()),
        *std::max_element(saveTimes.begin(), saveTimes.end()), saveMs * 1000.0 / count);
    printPhase("load", loadMs, megabytes, loadPeak);
    return 0;
}
