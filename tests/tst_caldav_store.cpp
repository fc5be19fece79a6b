// Lists synced with a calendar of the fake CalDAV server, which keeps its objects in memory as a real
// server does: a calendar of thousands of to-dos matched object by object, and a server that
// trickles its answers, which fails the sync in time without losing what it did.
#include "fake_calendar_server.h"
#include "ical_fixture.h"
#include "test_support.h"

#include "archive/list_file.h"
#include "caldav/calendar_sync.h"
#include "model/item_walk.h"
#include "model/node_operations.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using test::FakeCalendarServer;

class TestCalDavStore : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    int _lists = 0;

    /// A new list file holding the names, and its path.
    QString newList(const QStringList& names) {
        std::vector<NodePtr> items;
        for (const QString& name : names)
            items.push_back(test::itemWith({{key::name, name}}));
        return test::writeList(_dir.filePath(QStringLiteral("list%1.todo").arg(++_lists)), items);
    }

    static SyncReport sync(const QString& list, CalDavClient& client, const FakeCalendarServer& server) {
        SyncOptions options;
        options.bind = true;
        return syncWithCalendar(list, client, server.calendar(), options);
    }

    static CalDavClient clientOf(const FakeCalendarServer& server) {
        return CalDavClient(
            {server.calendar(), QStringLiteral("alice"), QStringLiteral("secret"), {}, false});
    }

    static int itemCount(const QString& list) {
        int count = 0;
        forEachItemBelow(*readListFile(list).root, [&](const NodePtr&, const Dict&, qsizetype) { ++count; });
        return count;
    }

private slots:
    void initTestCase() { test::startCalendarTest(); }

    // A calendar of thousands of to-dos comes into a fresh list whole, a hundred objects a request;
    // a listing that names every object again, as after the server forgot its sync token, finds
    // each as it was and fetches and writes nothing.
    void aLargeCalendarIsMatchedObjectByObject() {
        FakeCalendarServer server;
        server.addTodos(3000);
        CalDavClient client = clientOf(server);
        const QString list = newList({});
        SyncReport report = sync(list, client, server);
        QVERIFY2(report.ok(), qPrintable(report.error + report.writeFailures.join(u'\n')));
        QCOMPARE(report.itemsAdded, 3000);
        QCOMPARE(itemCount(list), 3000);

        server.forgetTokens();
        const int before = server.requestCount();
        report = sync(list, client, server);
        QVERIFY2(report.ok(), qPrintable(report.error));
        QCOMPARE(report.summary(), QStringLiteral("nothing changed"));
        QCOMPARE(server.requestCount() - before, 2); // the forgotten token, then the whole listing
        QCOMPARE(server.objectCount(), 3000);
    }

    // A server that trickles its answers fails the sync once less than the least it must send
    // arrived in a window, and is sent nothing more; what the sync wrote before stands, and the
    // next sync writes the rest, duplicating nothing.
    void aTricklingServerFailsTheSyncInTime() {
        FakeCalendarServer server;
        CalDavClient client = clientOf(server);
        client.dav().setSlowLimit(1024, 2000);
        const QString list = newList({"One", "Two", "Three", "Four", "Five"});
        server.trickleAfter(3, 100); // the listing and two writes at once, then a byte every 100 ms
        SyncReport report = sync(list, client, server);
        QCOMPARE(report.filesWritten, 2);
        // The sync stops writing at the server that stopped answering, and says why.
        QCOMPARE(report.writeFailures.size(), 1);
        QVERIFY2(report.unreachable.contains(QStringLiteral("sent less than 1 KB in 2 seconds")),
                 qPrintable(report.unreachable));
        QCOMPARE(server.requestCount(), 4);

        server.trickleAfter(0, 0);
        report = sync(list, client, server);
        QVERIFY2(report.ok(), qPrintable(report.error + report.writeFailures.join(u'\n')));
        QCOMPARE(server.objectCount(), 5);
        QCOMPARE(itemCount(list), 5);
        QCOMPARE(sync(list, client, server).summary(), QStringLiteral("nothing changed"));
    }
};

QTEST_GUILESS_MAIN(TestCalDavStore)
#include "tst_caldav_store.moc"
