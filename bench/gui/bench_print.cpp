// Measures printing the generated 10,000-item list to PDF with every branch open, check boxes,
// icons and notes: the median of 5 printouts in processor time of the printing thread (which other
// work on a shared machine does not inflate) and in wall time, and what one page costs. Runs
// offscreen by default.
#include "gui/window_bench.h"
#include "support/list_generator.h"
#include "support/thread_cpu_time.h"

#include "archive/list_file.h"
#include "document/tardigo_document.h"
#include "model/keys.h"
#include "print/gui/print_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tardigo;

namespace {

constexpr int kRounds = 5;
constexpr double kLimitMs = 2000;

// A PDF names each of its pages an object of the type /Page.
qsizetype pageCount(const QString& pdf) {
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    return bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page ") +
           bytes.count("/Type /Page/") + bytes.count("/Type /Page>");
}

} // namespace

int main(int argc, char** argv) {
    bench::chooseOffscreenPlatform();
    QApplication application(argc, argv);
    bench::useBenchmarkSettings();

    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir folder;
    const QString list = folder.filePath("large.todo");
    if (const QString error = writeListFile(list, bench::generateList(count)); !error.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    TardigoDocument document;
    QString error;
    if (!document.readFromFile(list, &error)) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }

    const QString pdf = folder.filePath("large.pdf");
    std::vector<double> times, wallTimes;
    for (int round = 0; round < kRounds; ++round) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QElapsedTimer timer;
        timer.start();
        const double start = bench::threadCpuMs();
        if (!PrintView(document, PrintOptions{true, true, true}).print(printer, &error)) {
            fprintf(stderr, "%s\n", qPrintable(error));
            return 2;
        }
        times.push_back(bench::threadCpuMs() - start);
        wallTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    const auto median = [](std::vector<double> figures) {
        std::sort(figures.begin(), figures.end());
        return figures[figures.size() / 2];
    };
    const double cpu = median(times);
    const qsizetype pages = pageCount(pdf);
    const bool ok = cpu < kLimitMs;
    printf("list of %d items, every branch open, printed with check boxes, icons and notes: %lld pages\n",
           count, static_cast<long long>(pages));
    printf("%-44s %9.1f ms  (limit %.0f ms) %s\n", "print to PDF, median of 5, processor time", cpu, kLimitMs,
           ok ? "ok" : "TOO SLOW");
    printf("%-44s %9.1f ms\n", "the same in wall time", median(wallTimes));
    printf("%-44s %9.2f ms\n", "per page, processor time", pages > 0 ? cpu / double(pages) : 0.0);
    return ok ? 0 : 1;
}
