// Lists synced with calendars on real servers (Radicale with a password, Xandikos without) through
// the folder sync's merge: both ways, with another client's edits, a race between our read and our
// write, a calendar emptied behind the list's back, connections cut at every stage, and the list's
// lock let go while the server answers.
#include "cutting_proxy.h"
#include "fake_dav_server.h"
#include "ical_fixture.h"
#include "local_servers.h"

#include "archive/list_file.h"
#include "caldav/calendar_sync.h"
#include "caldav/wait_for.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "platform/list_lock.h"
#include "sync/sync_cancel.h"

#include <QTemporaryDir>
#include <QTimer>

#include <thread>

using namespace tardigo;
using test::FakeDavServer;
using test::LocalCalDavServer;

namespace {

ServerAccess accessTo(const QUrl& url, const LocalCalDavServer& server) {
    return {url, server.user(), QString::fromLatin1(LocalCalDavServer::kPassword), {}, false};
}

NodePtr listAt(const QString& path) {
    return readListFile(path).root;
}

QStringList namesIn(const Dict& root) {
    QStringList names;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict&, qsizetype) {
        names << *item->value(key::name).asString();
    });
    names.sort();
    return names;
}

/// What another client reads of the calendar: the summary of every to-do.
QStringList summariesOn(CalDavClient& client, const QUrl& calendar) {
    const auto tags =
        waitForDav<QList<ObjectTag>>([&](auto done) { client.listTodoTags(calendar, std::move(done)); });
    QList<QUrl> urls;
    for (const ObjectTag& tag : tags.value)
        urls << tag.url;
    const auto objects =
        waitForDav<FetchedObjects>([&](auto done) { client.fetchMany(calendar, urls, std::move(done)); });
    QStringList summaries;
    for (const CalendarObject& object : objects.value.objects) {
        const test::ReadBack back = test::readFirstTodo(object.data);
        summaries << QString::fromUtf8(icalcomponent_get_summary(back.todo));
    }
    summaries.sort();
    return summaries;
}

/// Another client's edit: the to-do's summary changed in the object as the server holds it.
void renameOnServer(CalDavClient& client, const QUrl& calendar, const QString& from, const QString& to) {
    const auto tags =
        waitForDav<QList<ObjectTag>>([&](auto done) { client.listTodoTags(calendar, std::move(done)); });
    for (const ObjectTag& tag : tags.value) {
        const auto object =
            waitForDav<CalendarObject>([&](auto done) { client.fetch(tag.url, std::move(done)); });
        if (!object.value.data.contains("SUMMARY:" + from.toUtf8() + "\r\n"))
            continue;
        QByteArray data = object.value.data;
        data.replace("SUMMARY:" + from.toUtf8() + "\r\n", "SUMMARY:" + to.toUtf8() + "\r\n");
        QVERIFY(waitForDav<QByteArray>([&](auto done) {
                    client.replace(tag.url, data, object.value.etag, std::move(done));
                }).ok());
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no to-do “%1” on the server").arg(from)));
}

} // namespace

class TestCalDavSync : public QObject {
    Q_OBJECT
    LocalCalDavServer _radicale{LocalCalDavServer::Kind::Radicale};
    LocalCalDavServer _xandikos{LocalCalDavServer::Kind::Xandikos};
    QTemporaryDir _dir;
    int _lists = 0;

    LocalCalDavServer& server() {
        QFETCH(QString, name);
        return name == QLatin1String("Radicale") ? _radicale : _xandikos;
    }

    static void servers() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Radicale") << QStringLiteral("Radicale");
        QTest::newRow("Xandikos") << QStringLiteral("Xandikos");
    }

    /// A new list file holding the names, and its path.
    QString newList(const QStringList& names) {
        const NodePtr root = newListRoot();
        for (const QString& name : names)
            test::addItem(*root, {{key::name, name}});
        const QString path = _dir.filePath(QStringLiteral("list%1.todo").arg(++_lists));
        if (!writeListFile(path, root).isEmpty())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    /// A calendar made for the test.
    static QUrl newCalendar(CalDavClient& client, const QString& name) {
        const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
        const auto made = waitForDav<CalendarInfo>(
            [&](auto done) { client.makeCalendar(places.value.home, name, std::move(done)); });
        if (!made.ok())
            qFatal("MKCALENDAR failed: %s", qPrintable(made.error.message));
        return made.value.url;
    }

    static SyncReport sync(const QString& list, CalDavClient& client, const QUrl& calendar,
                           bool allowRemovals = false) {
        SyncOptions options;
        options.bind = true;
        options.allowRemovals = allowRemovals;
        return syncWithCalendar(list, client, calendar, options);
    }

    static void edit(const QString& list, const std::function<void(const NodePtr&)>& change) {
        test::FixedClock clock(QDateTime::currentDateTime().addSecs(60));
        const NodePtr root = listAt(list);
        change(root);
        QVERIFY(writeListFile(list, root).isEmpty());
    }

// The report is taken once: a sync given here runs once.
#define SYNC_OK(report)                                                                                      \
    do {                                                                                                     \
        const SyncReport taken_ = (report);                                                                  \
        QVERIFY2(taken_.ok(), qPrintable(taken_.error + taken_.writeFailures.join(u' ')));                   \
    } while (false)

private slots:
    void initTestCase() {
        test::startCalendarTest();
        TARDIGO_NEED(_radicale.start());
        TARDIGO_NEED(_xandikos.start());
    }

    void aListTravelsBothWays_data() {
        servers();
    }
    // A list reaches the calendar whole and from there a second list; another client's edits,
    // additions and deletions come back; and a sync with nothing changed asks the server once.
    void aListTravelsBothWays() {
        CalDavClient client(accessTo(server().url(), server()));
        const QUrl calendar = newCalendar(client, QStringLiteral("Both ways"));
        const QString one = newList({QStringLiteral("Milk"), QStringLiteral("Bread")});
        edit(one, [](const NodePtr& root) {
            test::addItem(*test::findItem(*root, QStringLiteral("Bread")),
                          {{key::name, QStringLiteral("Rye")}});
        });
        SYNC_OK(sync(one, client, calendar));
        QCOMPARE(summariesOn(client, calendar), (QStringList{"Bread", "Milk", "Rye"}));

        const QString two = newList({});
        const SyncReport arrived = sync(two, client, calendar);
        SYNC_OK(arrived);
        QCOMPARE(arrived.itemsAdded, 3);
        QCOMPARE(test::mappedOutline(*listAt(two)), test::mappedOutline(*listAt(one)));

        const int before = client.dav().requestCount();
        const SyncReport quiet = sync(two, client, calendar);
        SYNC_OK(quiet);
        QVERIFY(!quiet.listChanged && quiet.filesWritten == 0);
        QCOMPARE(client.dav().requestCount(), before + 1);

        renameOnServer(client, calendar, QStringLiteral("Milk"), QStringLiteral("Oat milk"));
        const QUrl extra = calendar.resolved(QUrl(QStringLiteral("from-elsewhere.ics")));
        QVERIFY(waitForDav<QByteArray>([&](auto done) {
                    client.create(
                        extra,
                        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Elsewhere//EN\r\nBEGIN:VTODO\r\n"
                        "UID:from-elsewhere\r\nDTSTAMP:20250101T120000Z\r\nSUMMARY:Call the plumber\r\n"
                        "END:VTODO\r\nEND:VCALENDAR\r\n",
                        std::move(done));
                }).ok());
        edit(two, [](const NodePtr& root) {
            deleteItemFromTree(root, test::findItem(*root, QStringLiteral("Rye")).get());
        });
        SYNC_OK(sync(two, client, calendar));
        SYNC_OK(sync(one, client, calendar));
        QCOMPARE(namesIn(*listAt(one)), (QStringList{"Bread", "Call the plumber", "Oat milk"}));
        QCOMPARE(test::mappedOutline(*listAt(two)), test::mappedOutline(*listAt(one)));
        QCOMPARE(summariesOn(client, calendar), namesIn(*listAt(one)));
    }

    // Changed in the list and, between the sync's read and its write, by another client: the
    // server refuses the write (412), the sync fetches the change, keeps both versions and writes
    // again, ending with no failure.
    void aRaceBetweenReadAndWriteIsMerged() {
        CalDavClient client(accessTo(_radicale.url(), _radicale)),
            other(accessTo(_radicale.url(), _radicale));
        const QUrl calendar = newCalendar(client, QStringLiteral("Race"));
        const QString list = newList({QStringLiteral("Milk"), QStringLiteral("Eggs")});
        SYNC_OK(sync(list, client, calendar));
        edit(list, [](const NodePtr& root) {
            test::findItem(*root, QStringLiteral("Milk"))->set(key::name, QStringLiteral("Milk (list)"));
        });
        SyncOptions options;
        options.afterStep = [&, raced = false](SyncStep) mutable {
            if (!std::exchange(raced, true))
                renameOnServer(other, calendar, QStringLiteral("Milk"), QStringLiteral("Milk (server)"));
            return true;
        };
        const SyncReport report = syncWithCalendar(list, client, calendar, options);
        SYNC_OK(report);
        QCOMPARE(report.conflicts, QStringList{QStringLiteral("Milk (list)")});
        const QStringList names = namesIn(*listAt(list));
        QCOMPARE(names.size(), 3);
        QVERIFY2(names.join(u'|').contains(QStringLiteral("Milk (server)")), qPrintable(names.join(u'|')));
        QCOMPARE(summariesOn(client, calendar), names);
    }

    // A calendar deleted and made again empty at its address (a server restored from nothing)
    // removes nothing from the list until removals are allowed.
    void anEmptiedCalendarRemovesNothingUnasked() {
        CalDavClient client(accessTo(_radicale.url(), _radicale));
        const QUrl calendar = newCalendar(client, QStringLiteral("Emptied"));
        QStringList names;
        for (int i = 0; i < 8; ++i)
            names << QStringLiteral("Item %1").arg(i);
        const QString list = newList(names);
        SYNC_OK(sync(list, client, calendar));
        QVERIFY(waitFor<DavResult<DavReply>>([&](DavClient::Done done) {
                    client.dav().send({"DELETE", calendar, {}, {}, {}}, std::move(done));
                }).ok());
        QVERIFY(waitFor<DavResult<DavReply>>([&](DavClient::Done done) {
                    client.dav().send({"MKCALENDAR", calendar, {}, {}, {}}, std::move(done));
                }).ok());
        const QByteArray before = test::fileBytes(list);
        const SyncReport held = sync(list, client, calendar);
        QCOMPARE(held.heldRemovals, 8);
        QVERIFY2(held.error.startsWith(QStringLiteral("The calendar ") + calendar.toString() +
                                       QStringLiteral(" holds none of the 8 to-dos")),
                 qPrintable(held.error));
        QCOMPARE(test::fileBytes(list), before);
        QVERIFY(summariesOn(client, calendar).isEmpty());

        const SyncReport removed = sync(list, client, calendar, true);
        SYNC_OK(removed);
        QCOMPARE(removed.itemsRemoved, 8);
    }

    // A write the server refuses fails the sync and names the to-do, quoting the server in a short
    // excerpt; the list keeps its item, and the next sync writes it as new.
    void aRefusedWriteNamesItsItem() {
        FakeDavServer server;
        CalDavClient client({server.url(), QStringLiteral("alice"), QStringLiteral("secret"), {}, false});
        const QUrl calendar = server.url(QStringLiteral("/cal/tasks/"));
        const QString list = newList({QStringLiteral("Milk")});
        const QByteArray nothingSince =
            FakeDavServer::multistatus("<d:multistatus xmlns:d=\"DAV:\"><d:sync-token>t1</d:sync-token>"
                                       "</d:multistatus>");
        server.push({nothingSince});
        server.push({FakeDavServer::response(507, "Over quota. " + QByteArray(5000, 'x'))});
        const SyncReport refused = sync(list, client, calendar);
        QVERIFY(!refused.ok());
        const QString failures = refused.writeFailures.join(u' ');
        QVERIFY2(failures.contains(QStringLiteral("“Milk”")) && failures.contains(QStringLiteral("507")) &&
                     failures.contains(QStringLiteral("Over quota")) && failures.size() < 1000,
                 qPrintable(failures));
        QCOMPARE(namesIn(*listAt(list)), QStringList{QStringLiteral("Milk")});

        server.push({nothingSince});
        server.push({FakeDavServer::response(201, {}, {{"ETag", "\"1\""}})});
        SYNC_OK(sync(list, client, calendar));
        // The listing after the write goes unanswered here, and fails nothing.
        const QList<QByteArray> requests = server.requests();
        const QByteArray put =
            *std::find_if(requests.crbegin(), requests.crend(),
                          [](const QByteArray& request) { return request.startsWith("PUT"); });
        QVERIFY2(put.startsWith("PUT /cal/tasks/") && put.contains("If-None-Match: *") &&
                     put.contains("SUMMARY:Milk"),
                 put.constData());
    }

    // The list's lock is held while the list is read and saved, never while the server answers: a
    // slow server keeps no other program from changing the list. Another thread looks for the lock
    // whenever the sync waits for an answer.
    void theListIsFreeWhileTheServerAnswers() {
        CalDavClient client(accessTo(_radicale.url(), _radicale));
        const QUrl calendar = newCalendar(client, QStringLiteral("Unlocked"));
        const QString list = newList({QStringLiteral("One"), QStringLiteral("Two")});
        int looks = 0, held = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            ++looks;
            std::thread([&] { held += ListLock::ifFree(list).isLocked() ? 0 : 1; }).join();
        });
        probe.start(1);
        SYNC_OK(sync(list, client, calendar));
        edit(list, [](const NodePtr& root) { test::addItem(*root, {{key::name, QStringLiteral("Three")}}); });
        renameOnServer(client, calendar, QStringLiteral("One"), QStringLiteral("Uno"));
        SYNC_OK(sync(list, client, calendar));
        probe.stop();
        QVERIFY(looks >= 4);
        QCOMPARE(held, 0);
    }

    // Cut off at any point of a sync, the next one finishes the work and makes nothing twice: the
    // list and the calendar hold the same to-dos, once each.
    void aConnectionCutAnywhereDuplicatesNothing() {
        test::CuttingProxy proxy(_radicale.url().port());
        CalDavClient client(accessTo(proxy.url(), _radicale));
        const QUrl calendar = newCalendar(client, QStringLiteral("Cut"));
        const QString list = newList({QStringLiteral("First")});
        SYNC_OK(sync(list, client, calendar));
        int cuts = 0;
        // A sync here passes on some 2,500 bytes of the server's: cut it at every stage of that.
        for (qint64 budget = 0; budget <= 2800; budget += 200) {
            edit(list, [&](const NodePtr& root) {
                for (int i = 0; i < 3; ++i)
                    test::addItem(*root, {{key::name, QStringLiteral("Added %1.%2").arg(budget).arg(i)}});
                childrenOf(*root)->items.front().asDict()->set(key::name,
                                                               QStringLiteral("Changed at %1").arg(budget));
            });
            renameOnServer(client, calendar, summariesOn(client, calendar).constLast(),
                           QStringLiteral("Renamed at %1").arg(budget));
            proxy.cutAfter(budget);
            const SyncReport broken = sync(list, client, calendar);
            const bool wasCut = proxy.cut();
            proxy.heal();
            // Cut in the listing after its writes, a sync has done its work: the next asks again.
            cuts += wasCut && !broken.ok() ? 1 : 0;
            SYNC_OK(sync(list, client, calendar));
            const SyncReport settled = sync(list, client, calendar);
            SYNC_OK(settled);
            QVERIFY(!settled.listChanged && settled.filesWritten == 0);
            const QStringList names = namesIn(*listAt(list));
            QCOMPARE(names.size(), QSet<QString>(names.cbegin(), names.cend()).size());
            QCOMPARE(summariesOn(client, calendar), names);
        }
        QVERIFY(cuts >= 8);
    }

    // Cancelled after any step, a sync stops there without running again, and the next one
    // finishes the work and makes nothing twice.
    void aCancelAfterAnyStepDuplicatesNothing() {
        CalDavClient client(accessTo(_radicale.url(), _radicale));
        const QUrl calendar = newCalendar(client, QStringLiteral("Cancelled"));
        const QString list = newList({QStringLiteral("First")});
        SYNC_OK(sync(list, client, calendar));
        int cancelled = 0;
        for (int stop = 1; stop < 20; ++stop) {
            edit(list, [&](const NodePtr& root) {
                for (int i = 0; i < 2; ++i)
                    test::addItem(*root, {{key::name, QStringLiteral("Added %1.%2").arg(stop).arg(i)}});
                childrenOf(*root)->items.front().asDict()->set(key::name,
                                                               QStringLiteral("Changed %1").arg(stop));
            });
            renameOnServer(client, calendar, summariesOn(client, calendar).constLast(),
                           QStringLiteral("Renamed %1").arg(stop));
            SyncOptions options;
            options.cancel = std::make_shared<SyncCancel>();
            int steps = 0;
            options.afterStep = [&steps, stop, cancel = options.cancel](SyncStep) {
                if (++steps == stop)
                    cancel->cancel();
                return true;
            };
            const SyncReport stopped = syncWithCalendar(list, client, calendar, options);
            if (!stopped.cancelled)
                break; // the sync has fewer steps
            ++cancelled;
            QVERIFY(!stopped.ok());
            QCOMPARE(steps, stop);
            SYNC_OK(sync(list, client, calendar));
            const SyncReport settled = sync(list, client, calendar);
            SYNC_OK(settled);
            QVERIFY(!settled.listChanged && settled.filesWritten == 0);
            const QStringList names = namesIn(*listAt(list));
            QCOMPARE(names.size(), QSet<QString>(names.cbegin(), names.cend()).size());
            QCOMPARE(summariesOn(client, calendar), names);
        }
        QVERIFY(cancelled >= 4);
    }
};

QTEST_GUILESS_MAIN(TestCalDavSync)
#include "tst_caldav_sync.moc"
