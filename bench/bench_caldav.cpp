// Syncs a generated list with a calendar of Radicale on the loopback (started here, with a
// password): once to fill the calendar, then with nothing changed, then with one item changed.
// Prints the time and the number of requests of each.
#include "local_servers.h"
#include "support/list_generator.h"

#include "archive/list_file.h"
#include "caldav/calendar_sync.h"
#include "caldav/wait_for.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using namespace tardigo;
using test::LocalCalDavServer;

namespace {

/// Syncs and prints what it took; false when the sync failed.
bool timedSync(const char* what, const QString& list, CalDavClient& client, const QUrl& calendar, int count,
               const QTemporaryDir& dir) {
    SyncOptions options;
    options.bind = true;
    options.stateFolder = dir.filePath(QStringLiteral("state"));
    const int requests = client.dav().requestCount();
    QElapsedTimer timer;
    timer.start();
    const SyncReport report = syncWithCalendar(list, client, calendar, options);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    printf("%s of %d items: %.0f ms (%.2f ms per item), %d request(s), %d to-do(s) sent\n", what, count, ms,
           ms / count, client.dav().requestCount() - requests, report.filesWritten);
    if (!report.ok())
        fprintf(stderr, "%s\n", qPrintable(report.error + report.writeFailures.join(u'\n')));
    return report.ok();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 1000;
    LocalCalDavServer radicale(LocalCalDavServer::Kind::Radicale);
    if (const QString why = radicale.start(); !why.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("list.todo"));
    if (!writeListFile(list, bench::generateList(count)).isEmpty())
        return 1;
    CalDavClient client(
        {radicale.url(), radicale.user(), QString::fromLatin1(LocalCalDavServer::kPassword), {}, false});
    const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
    const auto calendar = waitForDav<CalendarInfo>([&](auto done) {
        client.makeCalendar(places.value.home, QStringLiteral("Benchmark"), std::move(done));
    });
    if (!calendar.ok()) {
        fprintf(stderr, "%s\n", qPrintable(calendar.error.message));
        return 1;
    }
    if (!timedSync("first sync", list, client, calendar.value.url, count, dir) ||
        !timedSync("sync with nothing changed", list, client, calendar.value.url, count, dir))
        return 1;
    const NodePtr root = readListFile(list).root;
    childrenOf(*root)->items.front().asDict()->set(key::name, QStringLiteral("renamed for the benchmark"));
    writeListFile(list, root);
    return timedSync("sync with one item changed", list, client, calendar.value.url, count, dir) ? 0 : 1;
}
