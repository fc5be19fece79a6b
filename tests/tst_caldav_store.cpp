// Lists synced with a calendar of the fake CalDAV server, which keeps its objects in memory as a real
// server does: a calendar of thousands of to-dos matched object by object.
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
};

QTEST_GUILESS_MAIN(TestCalDavStore)
#include "tst_caldav_store.moc"
