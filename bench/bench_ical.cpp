// Exports a large generated list as one iCalendar file and prints the time and the cost per item.
#include "support/list_generator.h"

#include "ical/calendar_writer.h"
#include "model/item_uids.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

using namespace tardigo;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 100000;
    const NodePtr root = bench::generateList(count);
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    assignItemUids(*root);
    const QByteArray text = listCalendarText(*root);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const double cpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    printf(
        "iCalendar export of %d items: %.0f ms (%.2f us per item; target under 3 s for 100,000), %.0f ms of "
        "processor time, %.1f MB\n",
        count, ms, ms * 1000.0 / count, cpuMs, double(text.size()) / 1e6);
    return 0;
}
