// Lists synced with a calendar of the fake CalDAV server, which keeps its objects in memory as a real
// server does: a calendar of thousands of to-dos matched object by object; the sync token taken
// after the sync's own writes, with another client writing meanwhile; ETags that repeat with new
// content; requests under way at once; and a server that trickles its answers, which fails the
// sync in time without losing what it did.
#include "fake_calendar_server.h"
#include "ical_fixture.h"
#include "test_support.h"

#include "archive/list_file.h"
#include "caldav/calendar_sync.h"
#include "caldav/wait_for.h"
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

    static QStringList namesIn(const QString& list) {
        QStringList names;
        forEachItemBelow(*readListFile(list).root, [&](const NodePtr& item, const Dict&, qsizetype) {
            names << *item->value(key::name).asString();
        });
        names.sort();
        return names;
    }

    /// The summaries of the to-dos on the server, sorted.
    static QStringList summariesOn(const FakeCalendarServer& server) {
        QStringList summaries;
        const QHash<QByteArray, QByteArray> objects = server.objects();
        for (const QByteArray& data : objects)
            summaries << QString::fromUtf8(icalcomponent_get_summary(test::readFirstTodo(data).todo));
        summaries.sort();
        return summaries;
    }

    /// The name of the object on the server whose to-do has that summary.
    static QByteArray objectNamed(const FakeCalendarServer& server, const QByteArray& summary) {
        const QHash<QByteArray, QByteArray> objects = server.objects();
        for (auto it = objects.cbegin(); it != objects.cend(); ++it)
            if (it->contains("SUMMARY:" + summary + "\r\n"))
                return it.key();
        return {};
    }

    static QByteArray todo(const QByteArray& uid, const QByteArray& summary) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Elsewhere//EN\r\nBEGIN:VTODO\r\nUID:" + uid +
               "\r\nDTSTAMP:20250101T120000Z\r\nLAST-MODIFIED:20300101T120000Z\r\nSUMMARY:" + summary +
               "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    }

    /// Another client's edit of a to-do on the server, keeping its UID.
    static void renameOnServer(FakeCalendarServer& server, const QByteArray& from, const QByteArray& to) {
        const QByteArray name = objectNamed(server, from);
        QVERIFY2(!name.isEmpty(), from.constData());
        const QByteArray data = server.objects().value(name);
        const qsizetype uid = data.indexOf("UID:") + 4;
        server.put(name, todo(data.mid(uid, data.indexOf('\r', uid) - uid), to));
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

    // After its own writes a sync asks what changed meanwhile, fetching only what another client
    // did, and keeps the newest token: the next sync with nothing changed is one request naming
    // nothing, and what another client did while a sync wrote reaches the list.
    void theTokenIsTakenAfterTheSyncsOwnWrites() {
        FakeCalendarServer server;
        CalDavClient client = clientOf(server);
        const QString list = newList({"One", "Two", "Three", "Four"});
        QVERIFY(sync(list, client, server).ok());
        QCOMPARE(server.objectsSent(), 0);
        int before = server.requestCount();
        QVERIFY(sync(list, client, server).ok());
        QCOMPARE(server.requestCount() - before, 1);
        QCOMPARE(server.lastChangesNamed(), 0);

        {
            test::FixedClock clock(QDateTime::currentDateTime().addSecs(60));
            const NodePtr root = readListFile(list).root;
            test::addItem(*root, {{key::name, QStringLiteral("Five")}});
            QVERIFY(writeListFile(list, root).isEmpty());
        }
        SyncOptions options;
        options.bind = true;
        options.afterStep = [&](SyncStep step) {
            if (step == SyncStep::FileWritten) {
                renameOnServer(server, "One", "Uno");
                server.put("elsewhere.ics", todo("elsewhere", "Call the plumber"));
            }
            return true;
        };
        before = server.requestCount();
        const SyncReport report = syncWithCalendar(list, client, server.calendar(), options);
        QVERIFY2(report.ok(), qPrintable(report.error + report.writeFailures.join(u'\n')));
        // The listing, the write, the listing after it, and the two objects changed elsewhere.
        QCOMPARE(server.requestCount() - before, 4);
        QCOMPARE(server.objectsSent(), 2);
        QVERIFY(sync(list, client, server).ok());
        QCOMPARE(namesIn(list), (QStringList{"Call the plumber", "Five", "Four", "Three", "Two", "Uno"}));
    }

    // A server that counts versions in its ETags gives a to-do removed and made anew at its name by
    // another client the ETag the list already knows: the sync still fetches it, and the list's own
    // change to the item is kept beside the other client's, not written over it.
    void anEtagThatRepeatsWithNewContentLosesNothing() {
        FakeCalendarServer server;
        server.countVersions();
        CalDavClient client = clientOf(server);
        const QString list = newList({"Milk", "Bread"});
        QVERIFY(sync(list, client, server).ok());
        const QByteArray milk = objectNamed(server, "Milk");
        const QByteArray data = server.objects().value(milk);
        const qsizetype uid = data.indexOf("UID:") + 4;
        server.remove(milk);
        server.put(milk, todo(data.mid(uid, data.indexOf('\r', uid) - uid), "Oat milk"));

        {
            test::FixedClock clock(QDateTime::currentDateTime().addSecs(60));
            const NodePtr root = readListFile(list).root;
            test::findItem(*root, QStringLiteral("Milk"))->set(key::name, QStringLiteral("Milk, 2 l"));
            QVERIFY(writeListFile(list, root).isEmpty());
        }
        const SyncReport report = sync(list, client, server);
        QVERIFY2(report.ok(), qPrintable(report.error + report.writeFailures.join(u'\n')));
        QCOMPARE(report.conflicts.size(), 1);
        const QStringList names = namesIn(list);
        QCOMPARE(names.size(), 3);
        QVERIFY2(names.contains(QStringLiteral("Oat milk")) &&
                     names.filter(QStringLiteral("Milk, 2 l")).size() == 1,
                 qPrintable(names.join(u'|')));
        QCOMPARE(summariesOn(server), names);
    }

    // Against a server far away, up to six requests are under way at once, writes and fetches
    // alike; each write is answered on its own, and a multiget's objects come in the order asked.
    void upToSixRequestsAreUnderWay() {
        FakeCalendarServer server;
        server.delayAnswers(20);
        CalDavClient client = clientOf(server);
        QStringList names;
        for (int i = 1; i <= 20; ++i)
            names << QStringLiteral("Item %1").arg(i);
        const QString list = newList(names);
        const SyncReport report = sync(list, client, server);
        QVERIFY2(report.ok(), qPrintable(report.error + report.writeFailures.join(u'\n')));
        QCOMPARE(report.filesWritten, 20);
        QCOMPARE(server.mostAtOnce(), DavClient::kMaxInFlight);
        names.sort();
        QCOMPARE(summariesOn(server), names);

        FakeCalendarServer full;
        full.addTodos(1000);
        full.delayAnswers(20);
        QList<QUrl> wanted;
        for (int i = 1000; i >= 1; --i)
            wanted << full.calendar().resolved(QUrl(QStringLiteral("fake-%1.ics").arg(i)));
        wanted.insert(500, full.calendar().resolved(QUrl(QStringLiteral("gone.ics"))));
        CalDavClient reader = clientOf(full);
        const auto fetched = waitForDav<FetchedObjects>(
            [&](auto done) { reader.fetchMany(full.calendar(), wanted, std::move(done)); });
        QVERIFY2(fetched.ok(), qPrintable(fetched.error.message));
        QCOMPARE(fetched.value.missing, QList<QUrl>{wanted[500]});
        QCOMPARE(fetched.value.objects.size(), 1000);
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(fetched.value.objects[i].url, wanted[i < 500 ? i : i + 1]);
        QCOMPARE(full.mostAtOnce(), DavClient::kMaxInFlight);
    }

    // A server that trickles its answers fails each request once less than the least it must send
    // arrived in a window, and is sent nothing more; what the sync wrote before stands, and the
    // next sync writes the rest, duplicating nothing.
    void aTricklingServerFailsTheSyncInTime() {
        FakeCalendarServer server;
        CalDavClient client = clientOf(server);
        client.dav().setSlowLimit(1024, 2000);
        QStringList names;
        for (int i = 1; i <= 12; ++i)
            names << QStringLiteral("Item %1").arg(i);
        const QString list = newList(names);
        server.trickleAfter(3, 100); // the listing and two writes at once, then a byte every 100 ms
        SyncReport report = sync(list, client, server);
        QCOMPARE(report.filesWritten, 2);
        QVERIFY2(report.unreachable.contains(QStringLiteral("sent less than 1 KB in 2 seconds")),
                 qPrintable(report.unreachable));
        // Six writes trickled, two of them begun as the first two were answered; once they failed,
        // the sync began no more.
        QCOMPARE(server.requestCount(), 9);

        server.trickleAfter(0, 0);
        report = sync(list, client, server);
        QVERIFY2(report.ok(), qPrintable(report.error + report.writeFailures.join(u'\n')));
        QCOMPARE(server.objectCount(), 12);
        QCOMPARE(itemCount(list), 12);
        QCOMPARE(sync(list, client, server).summary(), QStringLiteral("nothing changed"));
    }
};

QTEST_GUILESS_MAIN(TestCalDavStore)
#include "tst_caldav_store.moc"
