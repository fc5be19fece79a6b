// `tardigo-cli sync` with a CalDAV account, as a user runs it against Radicale, the password in a
// Secret Service of the test's own: binding a list to a calendar, later syncs by the binding alone,
// and the same guards as a folder's: copies, moves, removals, a wrong password.
#include "local_servers.h"
#include "test_support.h"

#include "archive/list_file.h"
#include "caldav/account_store.h"
#include "caldav/caldav_client.h"
#include "caldav/keyring.h"
#include "caldav/wait_for.h"
#include "model/keys.h"
#include "sync/sync_bindings.h"
#include "sync/sync_state.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using test::CliRun;
using test::LocalCalDavServer;

namespace {

const QByteArray kPasswordLine = QByteArray(LocalCalDavServer::kPassword) + '\n';
const QString kPassword = QString::fromLatin1(LocalCalDavServer::kPassword);

Keyring::Answer keyring(const std::function<void(Keyring::Done)>& call) {
    return waitFor<Keyring::Answer>([&](Keyring::Done done) { call(std::move(done)); });
}

} // namespace

class TestCalDavSyncCli : public QObject {
    Q_OBJECT
    LocalCalDavServer _radicale{LocalCalDavServer::Kind::Radicale};
    test::PrivateKeyring _keyring;
    QTemporaryDir _dir;

    QString path(const QString& name) const { return _dir.filePath(name); }

    static CliRun cli(const QStringList& args, const QByteArray& input = {}) {
        return test::runCliWith(args, input, QProcessEnvironment::systemEnvironment());
    }

    /// A new list of the items named.
    QString newList(const QString& name, const QStringList& items) {
        const QString list = path(name);
        if (cli({"new", list}).exitCode != 0)
            qFatal("cannot make %s", qPrintable(list));
        for (const QString& item : items)
            cli({"add", list, item});
        return list;
    }

// The run is taken once: a command given here runs once.
#define CLI_OK(run)                                                                                          \
    do {                                                                                                     \
        const CliRun taken_ = (run);                                                                         \
        QVERIFY2(taken_.exitCode == 0, qPrintable(taken_.err));                                              \
    } while (false)

private slots:
    void initTestCase() {
        TARDIGO_NEED(_radicale.start());
        TARDIGO_NEED(_keyring.start(true));
        qputenv("DBUS_SESSION_BUS_ADDRESS", _keyring.address());
        CLI_OK(cli({"account", "add", "home", _radicale.url().toString(), "alice", "--password-stdin"},
                   kPasswordLine));
    }

    // Bound once by account and calendar (made when missing), a list syncs later by its binding
    // alone, and with every watched list; a second list finds the calendar by its name.
    void aListSyncsByItsBinding() {
        const QString list = newList("chores.todo", {"Sweep", "Dust"});
        CliRun run = cli({"sync", list, "--account", "home", "--calendar", "Chores"});
        CLI_OK(run);
        QVERIFY2(run.out.contains(QStringLiteral("Made the calendar “Chores”")) &&
                     run.out.contains(QStringLiteral("2 files written")),
                 qPrintable(run.out));
        run = cli({"sync", list});
        CLI_OK(run);
        QVERIFY2(run.out.contains(QStringLiteral("nothing changed")), qPrintable(run.out));

        const QString second = newList("second.todo", {});
        run = cli({"sync", second, "--account", "home", "--calendar", "Chores"});
        CLI_OK(run);
        QVERIFY2(!run.out.contains(QStringLiteral("Made")) &&
                     run.out.contains(QStringLiteral("2 items added")),
                 qPrintable(run.out));
        cli({"add", second, "Mop"});
        run = cli({"sync", "--all"}); // the first list before the second: it sees Mop next time
        CLI_OK(run);
        QVERIFY2(run.out.contains(QStringLiteral("second.todo: 1 file written")), qPrintable(run.out));
        run = cli({"sync", "--all"});
        CLI_OK(run);
        QVERIFY2(run.out.contains(QStringLiteral("chores.todo: 1 item added")), qPrintable(run.out));
        QVERIFY(cli({"show", list}).out.contains(QStringLiteral("Mop")));
    }

    // A list bound to one calendar, or to a folder, moves to another only when told to.
    void aBoundListMovesOnlyWithRebind() {
        const QString list = newList("moving.todo", {"Pack"});
        CLI_OK(cli({"sync", list, "--account", "home", "--calendar", "Boxes"}));
        CliRun run = cli({"sync", list, "--account", "home", "--calendar", "Crates"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("--rebind")), qPrintable(run.err));
        CLI_OK(cli({"sync", list, "--account", "home", "--calendar", "Crates", "--rebind"}));
        CLI_OK(cli({"sync", list}));

        const QString folderList = newList("folder.todo", {"Stay"});
        QVERIFY(QDir().mkpath(path("vdir")));
        CLI_OK(cli({"sync", folderList, path("vdir")}));
        run = cli({"sync", folderList, "--account", "home", "--calendar", "Crates"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("--rebind")), qPrintable(run.err));
    }

    // A password the keyring holds only as earlier versions kept it, under the account's name
    // alone, is never sent: the sync asks for it, once, keeps the one given on standard input
    // under the account's server and user, and removes the old entry.
    void aPasswordKeptByNameAloneIsAskedForOnce() {
        const QString list = newList("errands.todo", {"Post"});
        CLI_OK(cli({"sync", list, "--account", "home", "--calendar", "Errands"}));
        QString error;
        const KeyringEntry entry = AccountStore().find(QStringLiteral("home"), &error)->keyringEntry();
        const KeyringEntry byName = KeyringEntry::byNameAlone(QStringLiteral("home"));
        QVERIFY(keyring([&](Keyring::Done done) { Keyring::removePassword(entry, std::move(done)); }).ok());
        QVERIFY(keyring([&](Keyring::Done done) {
                    Keyring::writePassword(byName, kPassword, std::move(done));
                }).ok());
        cli({"add", list, "Bank"});

        CliRun run = cli({"sync", list});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("tardigo-cli sync %1 --password-stdin").arg(list)),
                 qPrintable(run.err));
        run = cli({"sync", list, "--password-stdin"}, kPasswordLine);
        CLI_OK(run);
        QVERIFY2(run.out.contains(QStringLiteral("Kept the password of the account “home”")) &&
                     run.out.contains(QStringLiteral("1 file written")),
                 qPrintable(run.out));
        QCOMPARE(keyring([&](Keyring::Done done) { Keyring::readPassword(entry, std::move(done)); }).password,
                 kPassword);
        QCOMPARE(keyring([&](Keyring::Done done) { Keyring::readPassword(byName, std::move(done)); }).outcome,
                 Keyring::Outcome::NotFound);
        run = cli({"sync", list});
        CLI_OK(run);
        QVERIFY2(run.out.contains(QStringLiteral("nothing changed")), qPrintable(run.out));
    }

    // A list that cannot sync, whether its server is gone or the list does not read, keeps no
    // other from syncing: `sync --all` names each that failed, and why, and exits 1.
    void syncAllGoesOnPastAFailure() {
        const QString good = newList("good.todo", {"Keep"});
        CLI_OK(cli({"sync", good, "--account", "home", "--calendar", "Good"}));
        Account gone;
        gone.name = QStringLiteral("gone");
        gone.url = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(test::freePort()));
        gone.user = QStringLiteral("alice");
        QVERIFY(AccountStore().add(gone).isEmpty());
        QVERIFY(keyring([&](Keyring::Done done) {
                    Keyring::writePassword(gone.keyringEntry(), kPassword, std::move(done));
                }).ok());
        const QString lost = newList("lost.todo", {"Far"});
        const QString calendar = gone.url.toString() + QStringLiteral("alice/far/");
        const NodePtr root = readListFile(lost).root;
        root->set(key::syncFolder, calendar);
        QVERIFY(writeListFile(lost, root).isEmpty());
        QVERIFY(SyncBindings(SyncState::defaultFolder()).bind(lost, calendar, gone.name).isEmpty());
        const QString broken = path("unreadable.todo");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a list") > 0);
        file.close();
        CLI_OK(
            cli({"config", "tardigoMinderDocs", QStringList{broken, lost, good}.join(QStringLiteral(", "))}));
        cli({"add", good, "More"});

        const CliRun run = cli({"sync", "--all"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(QStringLiteral("good.todo: 1 file written")), qPrintable(run.out));
        QVERIFY2(
            run.err.contains(QStringLiteral("%1 did not sync: ").arg(broken)) &&
                run.err.contains(QStringLiteral("%1 did not sync: Could not reach the server").arg(lost)) &&
                run.err.contains(
                    QStringLiteral("2 of 3 lists did not sync in full: %1, %2").arg(broken, lost)),
            qPrintable(run.err));
    }

    // A copy of a bound list, a wrong password, a calendar that lost its to-dos: exit 1 with the
    // reason and what to do, and the list as it was.
    void whatIsNotSureChangesNothing() {
        QFile broken(path("broken.todo"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a list") > 0);
        broken.close();
        CliRun run = cli({"sync", path("broken.todo"), "--account", "home", "--calendar", "Never"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(!cli({"account", "calendars", "home"}).out.contains(QStringLiteral("Never")),
                 "a list that does not read made a calendar");

        const QString list = newList("guarded.todo", {"One", "Two", "Three", "Four", "Five", "Six", "Seven"});
        CLI_OK(cli({"sync", list, "--account", "home", "--calendar", "Guarded"}));
        const QByteArray before = test::fileBytes(list);

        QVERIFY(QFile::copy(list, path("copy.todo")));
        run = cli({"sync", path("copy.todo")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("--account NAME --calendar CALENDAR")), qPrintable(run.err));
        QCOMPARE(test::fileBytes(path("copy.todo")), before);

        cli({"add", list, "Eight"});
        const QByteArray edited = test::fileBytes(list);
        run = cli({"sync", list, "--password-stdin"}, "wrong\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("did not accept the user name “alice”")),
                 qPrintable(run.err));
        QCOMPARE(test::fileBytes(list), edited);

        CalDavClient client({_radicale.url(),
                             _radicale.user(),
                             QString::fromLatin1(LocalCalDavServer::kPassword),
                             {},
                             false});
        const auto calendars = waitForDav<QList<CalendarInfo>>([&](auto done) {
            client.listCalendars(_radicale.url().resolved(QUrl(QStringLiteral("/alice/"))), std::move(done));
        });
        const auto guarded =
            std::find_if(calendars.value.cbegin(), calendars.value.cend(),
                         [](const CalendarInfo& c) { return c.displayName == QLatin1String("Guarded"); });
        QVERIFY(guarded != calendars.value.cend());
        const auto tags = waitForDav<QList<ObjectTag>>(
            [&](auto done) { client.listTodoTags(guarded->url, std::move(done)); });
        QCOMPARE(tags.value.size(), 7);
        for (const ObjectTag& tag : tags.value)
            QVERIFY(waitForDav<CalDavClient::Nothing>([&](auto done) {
                        client.remove(tag.url, tag.etag, std::move(done));
                    }).ok());
        run = cli({"sync", list});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("holds none of the 7 to-dos")) &&
                     run.err.contains(QStringLiteral("--allow-removals")),
                 qPrintable(run.err));
        QCOMPARE(test::fileBytes(list), edited);
        run = cli({"sync", list, "--allow-removals"});
        CLI_OK(run);
        QVERIFY2(run.out.contains(QStringLiteral("7 items removed")), qPrintable(run.out));
    }
};

QTEST_GUILESS_MAIN(TestCalDavSyncCli)
#include "tst_caldav_sync_cli.moc"
