// Syncs lists with a calendar of a fake CalDAV server on the loopback (tests/fake_calendar_server),
// which answers from memory on a thread of its own, so that the figures are the client's: its
// listing, matching, merging and saving.
//
// bench_caldav [COUNT…]: for each count (5,000, 10,000 and 100,000 by default)
// - up to 10,000: a generated list synced to an empty calendar (one PUT per item), then the second
//   sync, whose one listing names nothing: the first took its token after its own writes;
// - a fresh list bound to a calendar already holding that many to-dos (every object fetched);
// - that list synced again after the server forgot its sync tokens: one listing of every object,
//   nothing changed.
// Each prints its time on the clock and the processor time of the client (the process's, less
// the server thread's), and the requests it sent.
//
// bench_caldav --delay MS [COUNT] (50 ms and 1,000 items by default): the first syncs (a list to an
// empty calendar, then a fresh list bound to that calendar) against the fake server answering each
// request MS ms after it came, as a server far away does; each prints its time on the clock against
// that of its requests sent one after another.
//
// bench_caldav --radicale [COUNT]: the same first syncs against Radicale on the loopback
// (tests/local_servers), for reference.
#include "fake_calendar_server.h"
#include "local_servers.h"
#include "support/list_generator.h"

#include "archive/list_file.h"
#include "caldav/calendar_sync.h"
#include "caldav/wait_for.h"
#include "model/node_operations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

using namespace tardigo;
using test::FakeCalendarServer;
using test::LocalCalDavServer;

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

/// What a sync took.
struct Timed {
    SyncReport report;
    double seconds = 0;       // on the clock
    double clientSeconds = 0; // of processor time, less the server's
    int requests = 0;
};

/// The calendar a benchmark syncs with, and what its server tells of itself.
struct Calendar {
    QUrl url;
    ServerAccess access;
    std::function<qint64()> serverProcessorNsecs; // 0 for a server in another process
};

Calendar onFakeServer(const FakeCalendarServer& server) {
    return {server.calendar(),
            {server.calendar(), QStringLiteral("alice"), QStringLiteral("secret"), {}, false},
            [&server] { return server.processorNsecs(); }};
}

Timed timedSync(const QString& list, const Calendar& calendar, const QTemporaryDir& dir) {
    CalDavClient client(calendar.access);
    SyncOptions options;
    options.bind = true;
    options.stateFolder = dir.filePath(QStringLiteral("state"));
    const qint64 processor = processProcessorNsecs() - calendar.serverProcessorNsecs();
    QElapsedTimer clock;
    clock.start();
    Timed timed;
    timed.report = syncWithCalendar(list, client, calendar.url, options);
    timed.seconds = double(clock.nsecsElapsed()) / 1e9;
    timed.clientSeconds = double(processProcessorNsecs() - calendar.serverProcessorNsecs() - processor) / 1e9;
    timed.requests = client.dav().requestCount();
    if (!timed.report.ok())
        fprintf(stderr, "%s\n", qPrintable(timed.report.error + timed.report.writeFailures.join(u'\n')));
    return timed;
}

/// Syncs the list with the calendar and prints what it took; false when the sync failed.
bool printedSync(const char* what, const QString& list, const Calendar& calendar, const QTemporaryDir& dir,
                 int count) {
    const Timed timed = timedSync(list, calendar, dir);
    printf("%s, %d items: %.2f s of processor time (%.1f us per item), %.2f s on the clock; %d request(s), "
           "%d to-do(s) sent, %d item(s) added\n",
           what, count, timed.clientSeconds, timed.clientSeconds * 1e6 / count, timed.seconds, timed.requests,
           timed.report.filesWritten, timed.report.itemsAdded);
    fflush(stdout);
    return timed.report.ok();
}

bool listings(int count) {
    QTemporaryDir dir;
    if (count <= kMostPutsSent) {
        FakeCalendarServer empty;
        const QString list = dir.filePath(QStringLiteral("sent.todo"));
        if (!writeListFile(list, bench::generateList(count)).isEmpty() ||
            !printedSync("first sync to an empty calendar", list, onFakeServer(empty), dir, count) ||
            !printedSync("second sync, its listing naming nothing", list, onFakeServer(empty), dir, count))
            return false;
    }
    FakeCalendarServer full;
    full.addTodos(count);
    const QString fresh = dir.filePath(QStringLiteral("fresh.todo"));
    if (!writeListFile(fresh, newListRoot()).isEmpty() ||
        !printedSync("a fresh list bound to a calendar of that many to-dos", fresh, onFakeServer(full), dir,
                     count))
        return false;
    full.forgetTokens();
    return printedSync(
        "a sync listing every object, nothing changed (target: 1 s for 10,000, 10 s for 100,000)", fresh,
        onFakeServer(full), dir, count);
}

/// The first syncs with a calendar: a generated list to the empty calendar, then a fresh list bound
/// to the calendar it filled. `delayMsecs` is the server's delay per request, 0 for none known.
bool firstSyncs(const Calendar& calendar, int count, int delayMsecs) {
    QTemporaryDir dir;
    const QString sent = dir.filePath(QStringLiteral("sent.todo")),
                  fresh = dir.filePath(QStringLiteral("fresh.todo"));
    if (!writeListFile(sent, bench::generateList(count)).isEmpty() ||
        !writeListFile(fresh, newListRoot()).isEmpty())
        return false;
    for (const auto& [what, list] : {std::pair("a list to an empty calendar", sent),
                                     std::pair("a fresh list bound to that calendar", fresh)}) {
        const Timed timed = timedSync(list, calendar, dir);
        printf("first sync of %s, %d items: %.2f s on the clock (%.2f ms per item); %d request(s), %d "
               "to-do(s) sent, %d item(s) added",
               what, count, timed.seconds, timed.seconds * 1e3 / count, timed.requests,
               timed.report.filesWritten, timed.report.itemsAdded);
        if (delayMsecs > 0)
            printf("; %.2f of the time its requests take one after another",
                   timed.seconds * 1e3 / (timed.requests * delayMsecs));
        printf("\n");
        fflush(stdout);
        if (!timed.report.ok())
            return false;
    }
    return true;
}

bool delayed(int delayMsecs, int count) {
    FakeCalendarServer server;
    server.delayAnswers(delayMsecs);
    printf("The fake server answering each request %d ms after it came:\n", delayMsecs);
    return firstSyncs(onFakeServer(server), count, delayMsecs);
}

bool radicale(int count) {
    LocalCalDavServer server(LocalCalDavServer::Kind::Radicale);
    if (const QString error = server.start(); !error.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    const ServerAccess access{
        server.url(), server.user(), QString::fromLatin1(LocalCalDavServer::kPassword), {}, false};
    CalDavClient client(access);
    const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
    const auto made = waitForDav<CalendarInfo>(
        [&](auto done) { client.makeCalendar(places.value.home, QStringLiteral("Bench"), std::move(done)); });
    if (!made.ok()) {
        fprintf(stderr, "%s\n", qPrintable(places.error.message + made.error.message));
        return false;
    }
    printf("Radicale on the loopback:\n");
    return firstSyncs({made.value.url, access, [] { return qint64(0); }}, count, 0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const auto countOr = [&](int fallback) {
        return arguments.isEmpty() ? fallback : arguments.first().toInt();
    };
    if (arguments.value(0) == QLatin1String("--delay")) {
        const int delayMsecs = arguments.value(1, QStringLiteral("50")).toInt();
        arguments = arguments.mid(2);
        return delayed(delayMsecs, countOr(1000)) ? 0 : 1;
    }
    if (arguments.value(0) == QLatin1String("--radicale")) {
        arguments = arguments.mid(1);
        return radicale(countOr(1000)) ? 0 : 1;
    }
    QList<int> counts;
    for (const QString& argument : std::as_const(arguments))
        counts << argument.toInt();
    if (counts.isEmpty())
        counts = {5'000, 10'000, 100'000};
    for (const int count : counts)
        if (!listings(count))
            return 1;
    return 0;
}
