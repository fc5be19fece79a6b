// Syncs lists with a calendar of a fake CalDAV server on the loopback (tests/fake_calendar_server),
// which answers from memory on a thread of its own, so that the figures are the client's: its
// listing, matching, merging and saving. For each count given (5,000, 10,000 and 100,000 by default):
// - up to 10,000: a generated list synced to an empty calendar (one PUT per item), then the second
//   sync, whose one listing names every object the first wrote and finds each as it was written;
// - a fresh list bound to a calendar already holding that many to-dos (every object fetched);
// - that list synced again after the server forgot its sync tokens: one listing of every object,
//   nothing changed.
// Each prints its time on the clock and the processor time of the client (the process's, less
// the server thread's), and the requests it sent.
#include "fake_calendar_server.h"
#include "support/list_generator.h"

#include "archive/list_file.h"
#include "caldav/calendar_sync.h"
#include "model/node_operations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

using namespace tardigo;
using test::FakeCalendarServer;

namespace {

constexpr int kMostPutsSent = 10'000;

qint64 processProcessorNsecs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto nsecs = [](const timeval& time) {
        return qint64(time.tv_sec) * 1'000'000'000 + time.tv_usec * 1000;
    };
    return nsecs(usage.ru_utime) + nsecs(usage.ru_stime);
}

/// Syncs the list with the server's calendar and prints what it took; false when the sync failed.
bool timedSync(const char* what, const QString& list, FakeCalendarServer& server, const QTemporaryDir& dir,
               int count) {
    CalDavClient client({server.calendar(), QStringLiteral("alice"), QStringLiteral("secret"), {}, false});
    SyncOptions options;
    options.bind = true;
    options.stateFolder = dir.filePath(QStringLiteral("state"));
    const int requests = server.requestCount();
    const qint64 processor = processProcessorNsecs() - server.processorNsecs();
    QElapsedTimer clock;
    clock.start();
    const SyncReport report = syncWithCalendar(list, client, server.calendar(), options);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const double clientSeconds = double(processProcessorNsecs() - server.processorNsecs() - processor) / 1e9;
    printf("%s, %d items: %.2f s of processor time (%.1f us per item), %.2f s on the clock; %d request(s), "
           "%d to-do(s) sent, %d item(s) added\n",
           what, count, clientSeconds, clientSeconds * 1e6 / count, seconds, server.requestCount() - requests,
           report.filesWritten, report.itemsAdded);
    fflush(stdout);
    if (!report.ok())
        fprintf(stderr, "%s\n", qPrintable(report.error + report.writeFailures.join(u'\n')));
    return report.ok();
}

bool run(int count) {
    QTemporaryDir dir;
    if (count <= kMostPutsSent) {
        FakeCalendarServer empty;
        const QString list = dir.filePath(QStringLiteral("sent.todo"));
        if (!writeListFile(list, bench::generateList(count)).isEmpty() ||
            !timedSync("first sync to an empty calendar", list, empty, dir, count) ||
            !timedSync("second sync, its listing naming every object the first wrote", list, empty, dir,
                       count))
            return false;
    }
    FakeCalendarServer full;
    full.addTodos(count);
    const QString fresh = dir.filePath(QStringLiteral("fresh.todo"));
    if (!writeListFile(fresh, newListRoot()).isEmpty() ||
        !timedSync("a fresh list bound to a calendar of that many to-dos", fresh, full, dir, count))
        return false;
    full.forgetTokens();
    return timedSync(
        "a sync listing every object, nothing changed (target: 1 s for 10,000, 10 s for 100,000)", fresh,
        full, dir, count);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<int> counts;
    for (int i = 1; i < argc; ++i)
        counts << atoi(argv[i]);
    if (counts.isEmpty())
        counts = {5'000, 10'000, 100'000};
    for (const int count : counts)
        if (!run(count))
            return 1;
    return 0;
}
