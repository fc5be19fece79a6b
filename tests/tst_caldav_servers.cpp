// The CalDAV client against real servers on the loopback: Radicale with a password and Xandikos
// without. Discovery, calendars, objects under their ETags with a second client racing, and the
// changes a calendar lists.
#include "local_servers.h"
#include "test_support.h"

#include "caldav/caldav_client.h"
#include "caldav/wait_for.h"

#include <QTest>

using namespace tardigo;
using test::LocalCalDavServer;

namespace {

QByteArray calendarText(const char* component, const QByteArray& uid, const QByteArray& summary) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tardigo//Tests//EN\r\nBEGIN:" +
           QByteArray(component) + "\r\nUID:" + uid + "\r\nDTSTAMP:20250101T120000Z\r\n" +
           (qstrcmp(component, "VEVENT") == 0 ? "DTSTART:20250102T120000Z\r\n" : "") + "SUMMARY:" + summary +
           "\r\nEND:" + QByteArray(component) + "\r\nEND:VCALENDAR\r\n";
}

QByteArray todo(const QByteArray& uid, const QByteArray& summary) {
    return calendarText("VTODO", uid, summary);
}

// The result is taken once: a request given here is sent once.
#define VERIFY_OK(result)                                                                                    \
    do {                                                                                                     \
        const auto taken_ = (result);                                                                        \
        QVERIFY2(taken_.ok(), qPrintable(taken_.error.message));                                             \
    } while (false)

} // namespace

class TestCalDavServers : public QObject {
    Q_OBJECT
    LocalCalDavServer _radicale{LocalCalDavServer::Kind::Radicale};
    LocalCalDavServer _xandikos{LocalCalDavServer::Kind::Xandikos};

    LocalCalDavServer& server() {
        QFETCH(QString, name);
        return name == QLatin1String("Radicale") ? _radicale : _xandikos;
    }

    static ServerAccess accessTo(const LocalCalDavServer& server) {
        return {server.url(), server.user(), QString::fromLatin1(LocalCalDavServer::kPassword), {}, false};
    }

    /// A calendar made for the test on the server.
    static CalendarInfo newCalendar(CalDavClient& client, const QString& name) {
        const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
        if (!places.ok())
            qFatal("discovery failed: %s", qPrintable(places.error.message));
        const auto made = waitForDav<CalendarInfo>(
            [&](auto done) { client.makeCalendar(places.value.home, name, std::move(done)); });
        if (!made.ok())
            qFatal("MKCALENDAR failed: %s", qPrintable(made.error.message));
        return made.value;
    }

    static void servers() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Radicale") << QStringLiteral("Radicale");
        QTest::newRow("Xandikos") << QStringLiteral("Xandikos");
    }

private slots:
    void initTestCase() {
        TARDIGO_NEED(_radicale.start());
        TARDIGO_NEED(_xandikos.start());
    }

    void discoveryFindsTheHomeAndMakesCalendars_data() { servers(); }
    // From the server's bare address to the calendar home; a calendar made for to-dos is listed
    // there under its display name, with what it holds and offers.
    void discoveryFindsTheHomeAndMakesCalendars() {
        CalDavClient client(accessTo(server()));
        const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
        VERIFY_OK(places);
        QVERIFY(places.value.home.path().startsWith(QStringLiteral("/alice/")));

        const QString name = QStringLiteral("Chores <&> “quoted”");
        const auto made = waitForDav<CalendarInfo>(
            [&](auto done) { client.makeCalendar(places.value.home, name, std::move(done)); });
        VERIFY_OK(made);
        QCOMPARE(made.value.displayName, name);
        QVERIFY(made.value.holdsTodos);
        QVERIFY(made.value.offersSyncCollection);
        const auto calendars = waitForDav<QList<CalendarInfo>>(
            [&](auto done) { client.listCalendars(places.value.home, std::move(done)); });
        VERIFY_OK(calendars);
        QVERIFY(std::any_of(calendars.value.cbegin(), calendars.value.cend(), [&](const CalendarInfo& c) {
            return c.url == made.value.url && c.displayName == name && c.holdsTodos;
        }));
    }

    void objectsChangeOnlyUnderTheirEtag_data() { servers(); }
    // Every write names the version it replaces: a second client's change between our read and our
    // write makes ours fail with its own kind (412), and a read then shows theirs.
    void objectsChangeOnlyUnderTheirEtag() {
        CalDavClient mine(accessTo(server())), theirs(accessTo(server()));
        const CalendarInfo calendar = newCalendar(mine, QStringLiteral("Race"));
        const QUrl object = calendar.url.resolved(QUrl(QStringLiteral("milk.ics")));

        const auto created = waitForDav<QByteArray>(
            [&](auto done) { mine.create(object, todo("milk", "Milk"), std::move(done)); });
        VERIFY_OK(created);
        QCOMPARE(waitForDav<QByteArray>([&](auto done) {
                     theirs.create(object, todo("milk", "Other"), std::move(done));
                 }).error.failure,
                 DavFailure::PreconditionFailed);
        const auto read = waitForDav<CalendarObject>([&](auto done) { mine.fetch(object, std::move(done)); });
        VERIFY_OK(read);
        QVERIFY(read.value.data.contains("SUMMARY:Milk"));
        QVERIFY(!read.value.etag.isEmpty());
        if (!created.value.isEmpty())
            QCOMPARE(read.value.etag, created.value);

        const auto changed = waitForDav<QByteArray>([&](auto done) {
            theirs.replace(object, todo("milk", "Oat milk"), read.value.etag, std::move(done));
        });
        VERIFY_OK(changed);
        const auto late = waitForDav<QByteArray>([&](auto done) {
            mine.replace(object, todo("milk", "Soy milk"), read.value.etag, std::move(done));
        });
        QCOMPARE(late.error.failure, DavFailure::PreconditionFailed);
        QCOMPARE(waitForDav<CalDavClient::Nothing>([&](auto done) {
                     mine.remove(object, read.value.etag, std::move(done));
                 }).error.failure,
                 DavFailure::PreconditionFailed);

        const auto again =
            waitForDav<CalendarObject>([&](auto done) { mine.fetch(object, std::move(done)); });
        VERIFY_OK(again);
        QVERIFY(again.value.data.contains("SUMMARY:Oat milk"));
        const auto merged = waitForDav<QByteArray>([&](auto done) {
            mine.replace(object, todo("milk", "Soy milk"), again.value.etag, std::move(done));
        });
        VERIFY_OK(merged);
        const auto current =
            waitForDav<CalendarObject>([&](auto done) { mine.fetch(object, std::move(done)); });
        VERIFY_OK(waitForDav<CalDavClient::Nothing>(
            [&](auto done) { mine.remove(object, current.value.etag, std::move(done)); }));
        QCOMPARE(
            waitForDav<CalendarObject>([&](auto done) { mine.fetch(object, std::move(done)); }).error.failure,
            DavFailure::NotFound);
    }

    void changesAreListedOnce_data() { servers(); }
    // The first listing names every member; later ones only what changed, in one request when
    // nothing did. The to-dos' ETags leave the events out, and a multiget reads many at once.
    void changesAreListedOnce() {
        CalDavClient client(accessTo(server()));
        const CalendarInfo calendar = newCalendar(client, QStringLiteral("Changes"));
        // Xandikos takes only resources named ".ics" for calendar objects.
        const auto at = [&](const char* uid) {
            return calendar.url.resolved(QUrl(QLatin1String(uid) + QStringLiteral(".ics")));
        };
        for (const char* uid : {"a", "b", "c"})
            VERIFY_OK(waitForDav<QByteArray>([&](auto done) {
                client.create(at(uid), todo(uid, QByteArray("To-do ") + uid), std::move(done));
            }));
        VERIFY_OK(waitForDav<QByteArray>([&](auto done) {
            client.create(at("party"), calendarText("VEVENT", "party", "Party"), std::move(done));
        }));

        const auto first = waitForDav<CalendarChanges>(
            [&](auto done) { client.changesSince(calendar.url, {}, std::move(done)); });
        VERIFY_OK(first);
        QVERIFY(first.value.complete);
        QCOMPARE(first.value.changed.size(), 4);
        const auto todos = waitForDav<QList<ObjectTag>>(
            [&](auto done) { client.listTodoTags(calendar.url, std::move(done)); });
        VERIFY_OK(todos);
        QCOMPARE(todos.value.size(), 3);

        const int before = client.dav().requestCount();
        const auto quiet = waitForDav<CalendarChanges>(
            [&](auto done) { client.changesSince(calendar.url, first.value.token, std::move(done)); });
        VERIFY_OK(quiet);
        QVERIFY(quiet.value.changed.isEmpty() && quiet.value.removed.isEmpty() && !quiet.value.complete);
        QCOMPARE(client.dav().requestCount(), before + 1);

        const auto b = waitForDav<CalendarObject>([&](auto done) { client.fetch(at("b"), std::move(done)); });
        VERIFY_OK(waitForDav<QByteArray>([&](auto done) {
            client.replace(at("b"), todo("b", "Changed"), b.value.etag, std::move(done));
        }));
        const auto c = waitForDav<CalendarObject>([&](auto done) { client.fetch(at("c"), std::move(done)); });
        VERIFY_OK(waitForDav<CalDavClient::Nothing>(
            [&](auto done) { client.remove(at("c"), c.value.etag, std::move(done)); }));
        const auto later = waitForDav<CalendarChanges>(
            [&](auto done) { client.changesSince(calendar.url, quiet.value.token, std::move(done)); });
        VERIFY_OK(later);
        QCOMPARE(later.value.changed.size(), 1);
        QCOMPARE(later.value.changed[0].url.path(), at("b").path());
        QCOMPARE(later.value.removed.size(), 1);
        QCOMPARE(later.value.removed[0].path(), at("c").path());

        const auto fetched = waitForDav<FetchedObjects>([&](auto done) {
            client.fetchMany(calendar.url, {at("a"), at("b"), at("c")}, std::move(done));
        });
        VERIFY_OK(fetched);
        QCOMPARE(fetched.value.objects.size(), 2);
        QVERIFY(fetched.value.objects[1].data.contains("SUMMARY:Changed"));
        QVERIFY(!fetched.value.objects[1].etag.isEmpty());
        QCOMPARE(fetched.value.missing, QList<QUrl>{at("c")});
    }

    // A wrong password is refused in a sentence that names the user; nothing else is tried.
    void aWrongPasswordIsRefused() {
        ServerAccess access = accessTo(_radicale);
        access.password = QStringLiteral("wrong");
        CalDavClient client(access);
        const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
        QCOMPARE(places.error.failure, DavFailure::Unauthorized);
        QVERIFY2(places.error.message.contains(QStringLiteral("“alice”")), qPrintable(places.error.message));
        QCOMPARE(client.dav().requestCount(), 2); // the well-known address, sent on to the root
    }
};

QTEST_GUILESS_MAIN(TestCalDavServers)
#include "tst_caldav_servers.moc"
