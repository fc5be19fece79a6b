// The CalDAV client against a scripted server: what it refuses to follow, to read and to trust,
// how it tells failures apart, and how it reads what servers answer, odd answers included.
#include "fake_dav_server.h"
#include "test_support.h"

#include "caldav/caldav_client.h"
#include "caldav/caldav_store.h"
#include "caldav/calendar_choice.h"
#include "caldav/certificate_text.h"
#include "caldav/wait_for.h"

#include <QTest>

using namespace tardigo;
using test::FakeDavServer;

namespace {

const QByteArray kTestCertificateDigest =
    QByteArray::fromHex("109B9B98CCDC8F8630FD63861337A26791DF69C0660B2312A3C52EF214B30C8D");

ServerAccess accessTo(const QUrl& url) {
    return {url, QStringLiteral("alice"), QStringLiteral("secret"), {}, false};
}

DavResult<DavReply> send(DavClient& client, const QUrl& url, const QByteArray& method = "PROPFIND") {
    return waitFor<DavResult<DavReply>>([&](DavClient::Done done) {
        client.send({method, url, "<x/>", {}, {}}, std::move(done));
    });
}

QByteArray redirectTo(const QByteArray& location, int status = 301) {
    return FakeDavServer::response(status, {}, {{"Location", location}});
}

/// A multistatus answer of the responses given, each an href and what stands inside its <response>.
QByteArray responses(const QList<std::pair<QByteArray, QByteArray>>& entries, const QByteArray& tail = {}) {
    QByteArray xml = "<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">";
    for (const auto& [href, inside] : entries)
        xml += "<d:response><d:href>" + href + "</d:href>" + inside + "</d:response>";
    return FakeDavServer::multistatus(xml + tail + "</d:multistatus>");
}

QByteArray found(const QByteArray& properties) {
    return "<d:propstat><d:prop>" + properties + "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat>";
}

const QByteArray kCalendarType = "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>";

} // namespace

class TestCalDavClient : public QObject {
    Q_OBJECT

private slots:
    // Redirects are followed on the same host with the request as it was; another host, plain http
    // after https, or a loop end the request with the reason and reach no one else.
    void redirectsStayOnTheirHost() {
        FakeDavServer server;
        DavClient client(accessTo(server.url()));
        server.push({redirectTo("/dav/")});
        server.push({FakeDavServer::multistatus("<multistatus xmlns=\"DAV:\"/>")});
        const DavResult<DavReply> followed = send(client, server.url(QStringLiteral("/.well-known/caldav")));
        QVERIFY2(followed.ok(), qPrintable(followed.error.message));
        QCOMPARE(followed.value.url.path(), QStringLiteral("/dav/"));
        QCOMPARE(client.requestCount(), 2);
        const QByteArray second = server.requests().at(1);
        QVERIFY(second.startsWith("PROPFIND /dav/ "));
        QVERIFY(second.contains("Authorization: Basic") && second.endsWith("<x/>"));

        const QByteArray elsewhere =
            "http://localhost:" + QByteArray::number(server.url().port()) + "/steal/";
        server.push({redirectTo(elsewhere, 307)});
        const DavResult<DavReply> refused = send(client, server.url());
        QCOMPARE(refused.error.failure, DavFailure::Redirect);
        QVERIFY2(refused.error.message.contains(QString::fromLatin1(elsewhere)),
                 qPrintable(refused.error.message));
        QCOMPARE(server.requests().size(), 3);

        for (int i = 0; i <= DavClient::kMaxRedirects; ++i)
            server.push({redirectTo("/again/" + QByteArray::number(i))});
        QCOMPARE(send(client, server.url()).error.failure, DavFailure::Redirect);
        QCOMPARE(server.requests().size(), 3 + DavClient::kMaxRedirects + 1);

        FakeDavServer secure(true);
        ServerAccess access = accessTo(secure.url());
        access.acceptedCertificate = kTestCertificateDigest;
        DavClient secureClient(access);
        secure.push({redirectTo(server.url(QStringLiteral("/plain/")).toEncoded())});
        const DavResult<DavReply> downgraded = send(secureClient, secure.url());
        QCOMPARE(downgraded.error.failure, DavFailure::Redirect);
        QVERIFY2(downgraded.error.message.contains(QLatin1String("not encrypted")),
                 qPrintable(downgraded.error.message));
    }

    // No answer is read past the limit, whether it says its length or not.
    void answersAreReadWithinTheLimit() {
        FakeDavServer server;
        DavClient client(accessTo(server.url()));
        client.setResponseLimit(4096);
        server.push({FakeDavServer::response(200, QByteArray(4096, 'a'))});
        QVERIFY(send(client, server.url(), "GET").ok());

        server.push({FakeDavServer::response(200, QByteArray(5000, 'a'))});
        const DavResult<DavReply> stated = send(client, server.url(), "GET");
        QCOMPARE(stated.error.failure, DavFailure::TooLarge);
        QVERIFY2(stated.error.message.contains(QLatin1String("4 KB")), qPrintable(stated.error.message));

        QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
        for (int i = 0; i < 100; ++i)
            chunked += "400\r\n" + QByteArray(0x400, 'b') + "\r\n";
        server.push({chunked + "0\r\n\r\n"});
        QCOMPARE(send(client, server.url(), "GET").error.failure, DavFailure::TooLarge);
    }

    // A connection cut short, a server that says nothing and one that is not there are network
    // failures, each in its own words; none reads as an answer.
    void brokenExchangesFail() {
        FakeDavServer server;
        DavClient client(accessTo(server.url()));
        client.setIdleTimeout(1000);
        server.push({"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\nBEGIN:VCALENDAR"});
        const DavResult<DavReply> cut = send(client, server.url(QStringLiteral("/cal/one.ics")), "GET");
        QCOMPARE(cut.error.failure, DavFailure::Network);
        QVERIFY2(cut.error.message.contains(QLatin1String("broke off")), qPrintable(cut.error.message));

        server.push({{}, true});
        const DavResult<DavReply> silent = send(client, server.url(), "GET");
        QCOMPARE(silent.error.failure, DavFailure::Network);
        QVERIFY2(silent.error.message.contains(QLatin1String("did not answer")),
                 qPrintable(silent.error.message));

        QUrl nobody = server.url();
        nobody.setPort(1);
        const DavResult<DavReply> absent = send(client, nobody, "GET");
        QCOMPARE(absent.error.failure, DavFailure::Network);
        QVERIFY2(absent.error.message.startsWith(QLatin1String("Could not reach")),
                 qPrintable(absent.error.message));
    }

    // A server that trickles its answer keeps the idle limit from ever passing, but fails the
    // request, saying so, once less than the least it must send arrived in a window; a slow but
    // steady one is waited for.
    void aTrickleFailsInTime() {
        FakeDavServer server;
        DavClient client(accessTo(server.url()));
        // The idle limit well beyond the window: a server thread held up on a busy machine must not
        // end the request as silent before the window has passed.
        client.setIdleTimeout(10000);
        client.setSlowLimit(1024, 2000);
        server.push({FakeDavServer::response(200, QByteArray(300, 'x')), false, 10});
        const DavResult<DavReply> trickled = send(client, server.url(QStringLiteral("/cal/")), "REPORT");
        QCOMPARE(trickled.error.failure, DavFailure::Network);
        QVERIFY2(trickled.error.message.contains(
                     QStringLiteral("sent less than 1 KB in 2 seconds in answer to REPORT /cal/")),
                 qPrintable(trickled.error.message));

        server.push({FakeDavServer::response(200, QByteArray(4096, 'y')), false, 10, 64});
        const DavResult<DavReply> steady = send(client, server.url(), "GET");
        QVERIFY2(steady.ok(), qPrintable(steady.error.message));
        QCOMPARE(steady.value.body.size(), 4096);
    }

    // Each status a caller acts on has its kind; the sentence names the user where the password
    // was refused and quotes only the start of what the server said.
    void statusesBecomeKindsAndSentences() {
        FakeDavServer server;
        DavClient client(accessTo(server.url()));
        server.push({FakeDavServer::response(401, "Wrong password\x1b[2J")});
        const DavResult<DavReply> refused = send(client, server.url());
        QCOMPARE(refused.error.failure, DavFailure::Unauthorized);
        QVERIFY2(refused.error.message.contains(QStringLiteral("“alice”")) &&
                     refused.error.message.contains(QLatin1String("Wrong password")),
                 qPrintable(refused.error.message));

        server.push({FakeDavServer::response(412)});
        QCOMPARE(send(client, server.url(QStringLiteral("/cal/one.ics")), "PUT").error.failure,
                 DavFailure::PreconditionFailed);
        server.push({FakeDavServer::response(404)});
        QCOMPARE(send(client, server.url(), "GET").error.failure, DavFailure::NotFound);

        server.push({FakeDavServer::response(500, QByteArray(100'000, 'x'))});
        const DavResult<DavReply> failed = send(client, server.url(), "GET");
        QCOMPARE(failed.error.failure, DavFailure::Server);
        QVERIFY2(failed.error.message.size() < 400, qPrintable(failed.error.message));
    }

    // An error page in HTML is reduced to the status and its first words that say more than the
    // status line, as an XML error body is to its text: no markup, script, style or character
    // reference reaches the message.
    void errorPagesBecomeShortText() {
        FakeDavServer server;
        DavClient client(accessTo(server.url()));
        const QByteArray page =
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\n<html><head><title>401 Unauthorized"
            "</title>\n<style>body { font-family: sans-serif }</style></head>\n<body><h1>Unauthorized</h1>\n"
            "<!-- served by the mail server's HTTP module -->\n<p>The server could not verify that you are "
            "<b>authorized</b> to access &quot;/dav/calendars/user/alice/&quot;&#46;</p>\n<hr>\n"
            "<address>Mail-HTTP/3.8 Server at mail.example.com Port 443</address>\n</body></html>\n";
        server.push(
            {"HTTP/1.1 401 Unauthorized\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
             QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page});
        const DavResult<DavReply> refused = send(client, server.url());
        QCOMPARE(refused.error.failure, DavFailure::Unauthorized);
        QVERIFY2(refused.error.message.contains(
                     QStringLiteral("(401 Unauthorized: “The server could not verify that you are authorized "
                                    "to access \"/dav/calendars/user/alice/\".”)")),
                 qPrintable(refused.error.message));

        // Without its type, a page is known by how it begins; one that says nothing more than its
        // status is the status alone.
        server.push({FakeDavServer::response(
            503, "<html><head><title>503 Scripted</title><script>if (a < b) alert('x')</script></head>"
                 "<body><h1>503 Service Unavailable</h1></body></html>")});
        const DavResult<DavReply> unavailable = send(client, server.url());
        QVERIFY2(unavailable.error.message.endsWith(QStringLiteral("with 503 Scripted.")),
                 qPrintable(unavailable.error.message));

        server.push({FakeDavServer::response(
            403,
            "<?xml version=\"1.0\"?><d:error xmlns:d=\"DAV:\" xmlns:s=\"http://example.com/ns\">"
            "<d:need-privileges/><s:message>Alice may not write &lt;tasks&gt;</s:message></d:error>",
            {{"Content-Type", "application/xml"}})});
        const DavResult<DavReply> forbidden = send(client, server.url(), "PUT");
        QVERIFY2(
            forbidden.error.message.contains(QStringLiteral("(403 Scripted: “Alice may not write <tasks>”)")),
            qPrintable(forbidden.error.message));
    }

    // Plain http goes only to this computer unless allowed; a refused address reaches no server.
    void plainHttpOnlyToThisComputer() {
        for (const char* local :
             {"http://127.0.0.1:5232/", "http://[::1]/", "http://LOCALHOST/", "https://example.com/"})
            QVERIFY2(refusedServerUrl(QUrl(QLatin1String(local)), false).isEmpty(), local);
        for (const char* refused : {"http://example.com/", "ftp://example.com/", "example.com", "https:///"})
            QVERIFY2(!refusedServerUrl(QUrl(QLatin1String(refused)), false).isEmpty(), refused);
        QVERIFY(refusedServerUrl(QUrl(QStringLiteral("http://example.com/")), true).isEmpty());

        DavClient client(accessTo(QUrl(QStringLiteral("http://example.invalid/"))));
        QCOMPARE(send(client, client.access().url).error.failure, DavFailure::InsecureUrl);
        QCOMPARE(client.requestCount(), 0);
    }

    // A certificate no authority vouches for is refused with what it is, unless it is the very one
    // accepted for the account.
    void certificatesAreTrustedOrAccepted() {
        FakeDavServer server(true);
        DavClient strict(accessTo(server.url()));
        const DavResult<DavReply> refused = send(strict, server.url(), "GET");
        QCOMPARE(refused.error.failure, DavFailure::Certificate);
        for (const QString& part : {QStringLiteral("Tardigo test server"), QStringLiteral("valid from"),
                                    fingerprintText(kTestCertificateDigest)})
            QVERIFY2(refused.error.message.contains(part), qPrintable(refused.error.message));

        ServerAccess other = accessTo(server.url());
        other.acceptedCertificate = QByteArray(32, '\x42');
        DavClient wrong(other);
        QCOMPARE(send(wrong, server.url(), "GET").error.failure, DavFailure::Certificate);

        const std::optional<QByteArray> digest =
            fingerprintDigest(fingerprintText(kTestCertificateDigest).toLower());
        QCOMPARE(digest, std::optional(kTestCertificateDigest));
        QCOMPARE(fingerprintDigest(QString::fromLatin1(kTestCertificateDigest.toHex())), digest);
        QVERIFY(!fingerprintDigest(QStringLiteral("10:9B")));
        ServerAccess accepted = accessTo(server.url());
        accepted.acceptedCertificate = *digest;
        DavClient trusting(accepted);
        server.push({FakeDavServer::response(200, "hello")});
        const DavResult<DavReply> answered = send(trusting, server.url(), "GET");
        QVERIFY2(answered.ok(), qPrintable(answered.error.message));
        QCOMPARE(answered.value.body, QByteArray("hello"));
    }

    // Discovery goes on from a place that is not there, follows the principal to the calendar
    // home, and follows neither to another host.
    void discoveryFindsTheHomeOnTheSameHost() {
        FakeDavServer server;
        CalDavClient client(accessTo(server.url()));
        server.push({FakeDavServer::response(404)}); // /.well-known/caldav
        server.push({responses({{"/", found("<d:current-user-principal><d:href>/p/alice/</d:href>"
                                            "</d:current-user-principal>")}})});
        server.push({responses({{"/p/alice/", found("<c:calendar-home-set><d:href>/cal/alice</d:href>"
                                                    "</c:calendar-home-set>")}})});
        const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
        QVERIFY2(places.ok(), qPrintable(places.error.message));
        QCOMPARE(places.value.principal, server.url(QStringLiteral("/p/alice/")));
        QCOMPARE(places.value.home, server.url(QStringLiteral("/cal/alice/")));

        server.push(
            {responses({{"/.well-known/caldav",
                         found("<d:current-user-principal><d:href>http://elsewhere.example/p/</d:href>"
                               "</d:current-user-principal>")}})});
        server.push({FakeDavServer::response(405)});
        const auto foreign = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
        QCOMPARE(foreign.error.failure, DavFailure::BadAnswer);
        QVERIFY2(foreign.error.message.contains(QStringLiteral("“alice”")),
                 qPrintable(foreign.error.message));

        server.push({FakeDavServer::response(401, "no")});
        QCOMPARE(
            waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); }).error.failure,
            DavFailure::Unauthorized);
        QCOMPARE(server.requests().size(), 6); // a refused password ends the search
    }

    // Calendars are the home's calendar collections on its host; what a calendar holds decides
    // whether it takes to-dos, and properties the server did not find are not taken as found.
    void calendarsAreTheHomesOwn() {
        FakeDavServer server;
        CalDavClient client(accessTo(server.url()));
        const QByteArray missingName = "<d:propstat><d:prop><d:displayname>Ghost</d:displayname></d:prop>"
                                       "<d:status>HTTP/1.1 404 Not Found</d:status></d:propstat>";
        server.push({responses(
            {{"/cal/", found("<d:resourcetype><d:collection/></d:resourcetype>")},
             {"/cal/tasks/",
              found(kCalendarType + "<d:displayname>Tasks &amp; more</d:displayname>"
                                    "<c:supported-calendar-component-set><c:comp name=\"VTODO\"/>"
                                    "</c:supported-calendar-component-set><d:supported-report-set>"
                                    "<d:supported-report><d:report><d:sync-collection/></d:report>"
                                    "</d:supported-report></d:supported-report-set>")},
             {"events/", found(kCalendarType + "<c:supported-calendar-component-set><c:comp name=\"VEVENT\"/>"
                                               "</c:supported-calendar-component-set>") +
                             missingName},
             {"/cal/any/", found(kCalendarType)},
             {"/other/cal/", found(kCalendarType)},
             {"http://elsewhere.example/cal/x/", found(kCalendarType)}})});
        const auto calendars = waitForDav<QList<CalendarInfo>>(
            [&](auto done) { client.listCalendars(server.url(QStringLiteral("/cal/")), std::move(done)); });
        QVERIFY2(calendars.ok(), qPrintable(calendars.error.message));
        QCOMPARE(calendars.value.size(), 3);
        QCOMPARE(calendars.value[0].displayName, QStringLiteral("Tasks & more"));
        QVERIFY(calendars.value[0].holdsTodos && calendars.value[0].offersSyncCollection);
        QCOMPARE(calendars.value[1].url, server.url(QStringLiteral("/cal/events/")));
        QCOMPARE(calendars.value[1].displayName, QStringLiteral("events"));
        QVERIFY(!calendars.value[1].holdsTodos && !calendars.value[1].offersSyncCollection);
        QVERIFY(calendars.value[2].holdsTodos); // no set given: it holds every kind

        server.push({FakeDavServer::multistatus("<d:multistatus xmlns:d=\"DAV:\"><d:response>")});
        const auto broken = waitForDav<QList<CalendarInfo>>(
            [&](auto done) { client.listCalendars(server.url(QStringLiteral("/cal/")), std::move(done)); });
        QCOMPARE(broken.error.failure, DavFailure::BadAnswer);
    }

    // A listing cut short goes on from its token, a token the server forgot starts over with every
    // member, and each member counts once, as its last round says: changed, or removed.
    void changesGoOnAndStartOver() {
        FakeDavServer server;
        CalDavClient client(accessTo(server.url()));
        const QUrl calendar = server.url(QStringLiteral("/cal/tasks/"));
        const QByteArray gone = "<d:status>HTTP/1.1 404 Not Found</d:status>";
        server.push({responses({{"/cal/tasks/a.ics", found("<d:getetag>\"1\"</d:getetag>")},
                                {"/cal/tasks/b.ics", found("<d:getetag>\"2\"</d:getetag>")},
                                {"/cal/tasks/", "<d:status>HTTP/1.1 507 Insufficient Storage</d:status>"}},
                               "<d:sync-token>t2</d:sync-token>")});
        server.push({responses({{"/cal/tasks/b.ics", gone},
                                {"/cal/tasks/c.ics", found("<d:getetag>\"3\"</d:getetag>")},
                                {"/cal/tasks/%61.ics", found("<d:getetag>\"5\"</d:getetag>")},
                                {"/elsewhere/d.ics", found("<d:getetag>\"4\"</d:getetag>")}},
                               "<d:sync-token>t3</d:sync-token>")});
        const auto changes = waitForDav<CalendarChanges>(
            [&](auto done) { client.changesSince(calendar, "t1", std::move(done)); });
        QVERIFY2(changes.ok(), qPrintable(changes.error.message));
        QCOMPARE(changes.value.token, QByteArray("t3"));
        QVERIFY(!changes.value.complete);
        // a.ics changed again in the second round, named in another encoding: the later word stands.
        QCOMPARE(changes.value.changed.size(), 2);
        QCOMPARE(changes.value.changed[0].etag, QByteArray("\"5\""));
        QCOMPARE(changes.value.changed[1].url, server.url(QStringLiteral("/cal/tasks/c.ics")));
        QCOMPARE(changes.value.removed, QList<QUrl>{server.url(QStringLiteral("/cal/tasks/b.ics"))});
        QVERIFY(server.requests().at(1).contains("<d:sync-token>t2</d:sync-token>"));

        server.push(
            {FakeDavServer::response(403, "<d:error xmlns:d=\"DAV:\"><d:valid-sync-token/></d:error>")});
        server.push({responses({{"/cal/tasks/a.ics", found("<d:getetag>\"1\"</d:getetag>")}},
                               "<d:sync-token>t9</d:sync-token>")});
        const auto anew = waitForDav<CalendarChanges>(
            [&](auto done) { client.changesSince(calendar, "t3", std::move(done)); });
        QVERIFY2(anew.ok(), qPrintable(anew.error.message));
        QVERIFY(anew.value.complete);
        QCOMPARE(anew.value.changed.size(), 1);
        QVERIFY(server.requests().constLast().contains("<d:sync-token></d:sync-token>"));

        // A server that keeps cutting its listing short without moving on is not asked forever.
        server.push({responses({{"/cal/tasks/", "<d:status>HTTP/1.1 507 Insufficient Storage</d:status>"}},
                               "<d:sync-token>t9</d:sync-token>")});
        QCOMPARE(waitForDav<CalendarChanges>([&](auto done) {
                     client.changesSince(calendar, "t9", std::move(done));
                 }).error.failure,
                 DavFailure::BadAnswer);
    }

    // A server that offers no sync-collection is listed by its to-dos' ETags, and that is
    // remembered; only objects whose ETag the mirror lacks are fetched.
    void aServerWithoutSyncCollectionIsListedByItsTags() {
        FakeDavServer server;
        CalDavClient client(accessTo(server.url()));
        CalendarMirror mirror;
        mirror.objects.insert(QStringLiteral("kept.ics"), {"\"k\"", "KEPT"});
        mirror.objects.insert(QStringLiteral("gone.ics"), {"\"g\"", "GONE"});
        CalDavStore store(client, server.url(QStringLiteral("/cal/tasks")), mirror);
        server.push({FakeDavServer::response(501, "REPORT sync-collection is not implemented")});
        server.push({responses({{"/cal/tasks/kept.ics", found("<d:getetag>\"k\"</d:getetag>")},
                                {"/cal/tasks/new%20one.ics", found("<d:getetag>\"n\"</d:getetag>")}})});
        server.push(
            {responses({{"/cal/tasks/new%20one.ics",
                         found("<d:getetag>\"n\"</d:getetag><c:calendar-data>NEW</c:calendar-data>")}})});
        QString error;
        const std::optional<StoreListing> listing = store.list(&error);
        QVERIFY2(listing, qPrintable(error));
        QCOMPARE(listing->names, (QStringList{"kept.ics", "new one.ics"}));
        QCOMPARE(store.read(QStringLiteral("new one.ics"), &error), std::optional<QByteArray>("NEW"));
        QCOMPARE(store.read(QStringLiteral("kept.ics"), &error), std::optional<QByteArray>("KEPT"));
        QVERIFY(!mirror.objects.contains(QStringLiteral("gone.ics")));
        QCOMPARE(mirror.syncCollection, CalendarMirror::SyncCollection::Absent);
        const QList<QByteArray> requests = server.requests();
        QCOMPARE(requests.size(), 3);
        QVERIFY(requests[1].contains("calendar-query") && requests[2].contains("calendar-multiget"));
        QVERIFY(requests[2].contains("/cal/tasks/new%20one.ics") && !requests[2].contains("kept.ics"));
    }

    // The calendar a user names: by path, inside the home or absolute, else by display name; one
    // that holds no to-dos, or a name two calendars bear, is refused; a new name makes a calendar.
    void calendarsAreChosenByPathOrName() {
        const QUrl home(QStringLiteral("https://example.com/cal/alice/"));
        const auto calendar = [&](const char* path, const char* name, bool todos = true) {
            return CalendarInfo{home.resolved(QUrl(QLatin1String(path))), QString::fromUtf8(name), todos,
                                true};
        };
        const QList<CalendarInfo> calendars{calendar("tasks/", "Tasks"), calendar("work/", "Work"),
                                            calendar("w2/", "Work"), calendar("events/", "Events", false),
                                            calendar("other/", "tasks")};
        const auto chosen = [&](const char* wanted) {
            const CalendarChoice choice = chooseCalendar(calendars, home, QString::fromUtf8(wanted));
            return choice.calendar            ? choice.calendar->url.path()
                   : choice.refusal.isEmpty() ? QStringLiteral("new")
                                              : QStringLiteral("refused");
        };
        QCOMPARE(chosen("tasks"), QStringLiteral("/cal/alice/tasks/")); // its path before another's name
        QCOMPARE(chosen("/cal/alice/other"), QStringLiteral("/cal/alice/other/"));
        QCOMPARE(chosen("Tasks"), QStringLiteral("/cal/alice/tasks/"));
        QCOMPARE(chosen("w2/"), QStringLiteral("/cal/alice/w2/"));
        QCOMPARE(chosen("Work"), QStringLiteral("refused"));
        QCOMPARE(chosen("Events"), QStringLiteral("refused"));
        QCOMPARE(chosen("Chores"), QStringLiteral("new"));
        QCOMPARE(chosen("/cal/alice/nothing/"), QStringLiteral("refused"));
        QCOMPARE(chosen("Bad\x1bname"), QStringLiteral("refused"));
        QCOMPARE(chosen("  "), QStringLiteral("refused"));

        // What the window offers a list: the to-do calendars by name, and a new one only when no
        // calendar bears the list's name.
        const CalendarOffers chores = calendarOffers(calendars, home, QStringLiteral("Chores"));
        QStringList offered;
        for (const CalendarInfo& offer : chores.calendars)
            offered << offer.url.path();
        QCOMPARE(offered.size(), 4);
        QVERIFY(!offered.contains(QStringLiteral("/cal/alice/events/")));
        QVERIFY(chores.offerNew && !chores.named);
        const CalendarOffers tasks = calendarOffers(calendars, home, QStringLiteral("Tasks"));
        QVERIFY(!tasks.offerNew && tasks.named &&
                tasks.named->url.path() == QStringLiteral("/cal/alice/tasks/"));
        for (const char* taken : {"Work", "Events"}) {
            const CalendarOffers offers = calendarOffers(calendars, home, QString::fromLatin1(taken));
            QVERIFY2(!offers.offerNew && !offers.named, taken);
        }
    }
};

QTEST_GUILESS_MAIN(TestCalDavClient)
#include "tst_caldav_client.moc"
