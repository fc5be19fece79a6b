// A calendar on a real server (Radicale) holding the to-dos the calendar programs people use write:
// a list bound to it reads them all and writes none back, and the sync after that asks once.
#include "ical_fixture.h"
#include "local_servers.h"

#include "archive/list_file.h"
#include "caldav/calendar_sync.h"
#include "caldav/wait_for.h"

#include <QDirIterator>
#include <QTemporaryDir>

using namespace tardigo;
using test::LocalCalDavServer;

class TestCalDavClients : public QObject {
    Q_OBJECT
    LocalCalDavServer _radicale{LocalCalDavServer::Kind::Radicale};
    QTemporaryDir _dir;

private slots:
    void initTestCase() {
        test::startCalendarTest();
        TARDIGO_NEED(_radicale.start());
    }

    void aCalendarOfOtherClientsIsReadAndLeftAlone() {
        CalDavClient client({_radicale.url(),
                             _radicale.user(),
                             QString::fromLatin1(LocalCalDavServer::kPassword),
                             {},
                             false});
        const auto places = waitForDav<AccountPlaces>([&](auto done) { client.discover(std::move(done)); });
        QVERIFY2(places.ok(), qPrintable(places.error.message));
        const auto made = waitForDav<CalendarInfo>([&](auto done) {
            client.makeCalendar(places.value.home, QStringLiteral("Clients"), std::move(done));
        });
        QVERIFY2(made.ok(), qPrintable(made.error.message));
        const QUrl calendar = made.value.url;
        int objects = 0;
        QDirIterator it(QStringLiteral(TARDIGO_TEST_DATA_DIR "/clients"), {QStringLiteral("*.ics")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const auto put = waitForDav<QByteArray>([&](auto done) {
                client.create(calendar.resolved(QUrl(QFileInfo(path).fileName())), test::fileBytes(path),
                              std::move(done));
            });
            QVERIFY2(put.ok(), qPrintable(path + u' ' + put.error.message));
            ++objects;
        }

        const auto etags = [&] {
            QHash<QUrl, QByteArray> found;
            const auto listed = waitForDav<QList<ObjectTag>>(
                [&](auto done) { client.listTodoTags(calendar, std::move(done)); });
            for (const ObjectTag& tag : listed.value)
                found.insert(tag.url, tag.etag);
            return found;
        };
        const QHash<QUrl, QByteArray> before = etags();
        QCOMPARE(before.size(), objects);

        const QString list = _dir.filePath(QStringLiteral("clients.todo"));
        QVERIFY(writeListFile(list, newListRoot()).isEmpty());
        SyncOptions options;
        options.bind = true;
        const SyncReport first = syncWithCalendar(list, client, calendar, options);
        QVERIFY2(first.ok(), qPrintable(first.error + first.writeFailures.join(u' ')));
        QCOMPARE(first.itemsAdded, objects);
        QCOMPARE(first.filesWritten, 0);
        QCOMPARE(etags(), before); // every object under the ETag it had

        const int requests = client.dav().requestCount();
        const SyncReport second = syncWithCalendar(list, client, calendar, options);
        QVERIFY(second.ok() && !second.listChanged && second.filesWritten == 0);
        QCOMPARE(client.dav().requestCount(), requests + 1);
    }
};

QTEST_GUILESS_MAIN(TestCalDavClients)
#include "tst_caldav_clients.moc"
