// CalDAV accounts from the shell: added only when the server accepts them, their passwords in a
// real Secret Service (a private bus and gnome-keyring-daemon) and nowhere else, asked for on each
// run where no keyring answers, and every word a server says escaped before it reaches a terminal.
#include "fake_dav_server.h"
#include "local_servers.h"
#include "test_support.h"

#include "caldav/account_store.h"
#include "caldav/keyring.h"
#include "caldav/wait_for.h"
#include "sync/sync_bindings.h"
#include "sync/sync_state.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace tardigo;
using test::CliRun;
using test::FakeDavServer;
using test::LocalCalDavServer;

namespace {

const QByteArray kPasswordLine = QByteArray(LocalCalDavServer::kPassword) + '\n';

Keyring::Answer keyringRead(const KeyringEntry& entry) {
    return waitFor<Keyring::Answer>(
        [&](Keyring::Done done) { Keyring::readPassword(entry, std::move(done)); });
}

bool keyringWrite(const KeyringEntry& entry, const QString& password) {
    return waitFor<Keyring::Answer>(
               [&](Keyring::Done done) { Keyring::writePassword(entry, password, std::move(done)); })
        .ok();
}

/// What a server answers to discovery when the URL given is the user's principal and home.
void pushDiscovery(FakeDavServer& server) {
    for (int i = 0; i < 2; ++i) // the address given, then the principal it names
        server.push({FakeDavServer::multistatus(
            "<multistatus xmlns=\"DAV:\" "
            "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><response><href>/</href><propstat>"
            "<prop><current-user-principal><href>/alice/</href></"
            "current-user-principal><C:calendar-home-set>"
            "<href>/alice/</href></C:calendar-home-set></prop><status>HTTP/1.1 200 "
            "OK</status></propstat></response>"
            "</multistatus>")});
}

/// Whether any request the server received carried the user's password.
bool received(const FakeDavServer& server, const QByteArray& user, const QByteArray& password) {
    const QByteArray authorization = "Authorization: Basic " + (user + ':' + password).toBase64();
    const QList<QByteArray> requests = server.requests();
    return std::any_of(requests.cbegin(), requests.cend(),
                       [&](const QByteArray& request) { return request.contains(authorization); });
}

QString accountsFile() {
    return AccountStore::defaultPath();
}

} // namespace

class TestCalDavAccounts : public QObject {
    Q_OBJECT
    LocalCalDavServer _radicale{LocalCalDavServer::Kind::Radicale};
    test::PrivateKeyring _keyring, _noKeyring;

    QString serverUrl() const { return _radicale.url().toString(); }
    /// The keyring's entry of an account of that name for Radicale's alice.
    KeyringEntry entry(const QString& name) const { return {name, _radicale.url(), QStringLiteral("alice")}; }

    CliRun cli(const QStringList& args, const QByteArray& input = {},
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        return test::runCliWith(args, input, environment);
    }

    QProcessEnvironment withoutKeyring() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QString::fromUtf8(_noKeyring.address()));
        return environment;
    }

private slots:
    void initTestCase() {
        TARDIGO_NEED(_radicale.start());
        TARDIGO_NEED(_keyring.start(true));
        TARDIGO_NEED(_noKeyring.start(false));
        // This program and the tools it runs keep passwords in the keyring started for the test.
        qputenv("DBUS_SESSION_BUS_ADDRESS", _keyring.address());
    }

    void init() { QFile::remove(accountsFile()); }

    // Written, read back, removed: the keyring holds the password under the account's name, server
    // and user, and no other account, server, user or form of entry reads it.
    void aPasswordMakesTheRoundTripThroughTheKeyring() {
        const KeyringEntry kept{QStringLiteral("round trip"), QUrl(QStringLiteral("https://a.example/dav/")),
                                QStringLiteral("alice smith")};
        QVERIFY(keyringWrite(kept, QStringLiteral("s3cret ü")));
        const Keyring::Answer read = keyringRead(kept);
        QVERIFY2(read.ok(), qPrintable(read.reason));
        QCOMPARE(read.password, QStringLiteral("s3cret ü"));
        for (const KeyringEntry& other :
             {KeyringEntry{kept.account, QUrl(QStringLiteral("https://b.example/dav/")), kept.user},
              KeyringEntry{kept.account, kept.server, QStringLiteral("alice")},
              KeyringEntry{QStringLiteral("round"), kept.server, QStringLiteral("trip alice smith")},
              KeyringEntry::byNameAlone(kept.account)})
            QCOMPARE(keyringRead(other).outcome, Keyring::Outcome::NotFound);
        QVERIFY(waitFor<Keyring::Answer>([&](Keyring::Done done) {
                    Keyring::removePassword(kept, std::move(done));
                }).ok());
        QCOMPARE(keyringRead(kept).outcome, Keyring::Outcome::NotFound);
    }

    // An account removed while no keyring answers leaves its password behind only until one does;
    // an account of the same name for another server never gets it, whether it is added with or
    // without a keyring, and a password given on standard input is kept for that server.
    void aPasswordGoesOnlyToTheServerItWasGivenFor() {
        QCOMPARE(
            cli({"account", "add", "home", serverUrl(), "alice", "--password-stdin"}, kPasswordLine).exitCode,
            0);
        CliRun run = cli({"account", "remove", "home"}, {}, withoutKeyring());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(QStringLiteral("removes it the next time a keyring answers")),
                 qPrintable(run.err));
        QVERIFY(keyringRead(entry(QStringLiteral("home"))).ok());

        FakeDavServer other;
        const KeyringEntry otherEntry{QStringLiteral("home"), other.url(), QStringLiteral("alice")};
        pushDiscovery(other);
        run = cli({"account", "add", "home", other.url().toString(), "alice", "--password-stdin"}, "other\n",
                  withoutKeyring());
        QVERIFY2(run.exitCode == 0 && run.err.contains(QStringLiteral("not kept")), qPrintable(run.err));
        const qsizetype discovery = other.requests().size();

        // The keyring answers again: the removed account's password goes, and none is sent.
        run = cli({"account", "calendars", "home"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("--password-stdin")), qPrintable(run.err));
        QCOMPARE(other.requests().size(), discovery);
        QCOMPARE(keyringRead(entry(QStringLiteral("home"))).outcome, Keyring::Outcome::NotFound);
        QVERIFY(!test::fileBytes(accountsFile()).contains("forgottenPasswords"));

        other.push({FakeDavServer::multistatus("<multistatus xmlns=\"DAV:\"/>")});
        run = cli({"account", "calendars", "home", "--password-stdin"}, "other\n");
        QVERIFY2(run.exitCode == 0 && run.out.contains(QStringLiteral("Kept the password")),
                 qPrintable(run.err));
        QCOMPARE(keyringRead(otherEntry).password, QStringLiteral("other"));
        QVERIFY(!received(other, "alice", LocalCalDavServer::kPassword));

        // Added again over the name while the keyring answers, the account's password replaces what
        // the name left: the other server's, and one kept by the name alone.
        QCOMPARE(cli({"account", "remove", "home"}, {}, withoutKeyring()).exitCode, 0);
        QVERIFY(keyringWrite(KeyringEntry::byNameAlone(QStringLiteral("home")), QStringLiteral("other")));
        QCOMPARE(
            cli({"account", "add", "home", serverUrl(), "alice", "--password-stdin"}, kPasswordLine).exitCode,
            0);
        QCOMPARE(keyringRead(entry(QStringLiteral("home"))).password,
                 QString::fromLatin1(LocalCalDavServer::kPassword));
        QCOMPARE(keyringRead(otherEntry).outcome, Keyring::Outcome::NotFound);
        QCOMPARE(keyringRead(KeyringEntry::byNameAlone(QStringLiteral("home"))).outcome,
                 Keyring::Outcome::NotFound);
        QVERIFY(!test::fileBytes(accountsFile()).contains("forgottenPasswords"));
    }

    // Added with the password once, the account lists its calendars from the keyring's password,
    // keeps no password in its file, and goes with its password.
    void anAccountIsAddedUsedAndRemoved() {
        CliRun run = cli({"account", "add", "home", serverUrl(), "alice", "--password-stdin"}, kPasswordLine);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("calendars at /alice/")), qPrintable(run.out));
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        const QByteArray stored = test::fileBytes(accountsFile());
        QVERIFY(stored.contains("\"user\": \"alice\"") && !stored.contains(LocalCalDavServer::kPassword));
        QCOMPARE(QFile::permissions(accountsFile()) & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
        QCOMPARE(keyringRead(entry(QStringLiteral("home"))).password,
                 QString::fromLatin1(LocalCalDavServer::kPassword));

        const QDateTime written = QFileInfo(accountsFile()).lastModified();
        run = cli({"account", "list"});
        QCOMPARE(run.out, QStringLiteral("home\talice\t%1\n").arg(serverUrl()));
        run = cli({"account", "calendars", "home"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        // Looking writes nothing.
        QCOMPARE(test::fileBytes(accountsFile()), stored);
        QCOMPARE(QFileInfo(accountsFile()).lastModified(), written);
        run = cli({"account", "add", "home", serverUrl(), "alice", "--password-stdin"}, kPasswordLine);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("already")), qPrintable(run.err));

        // Removing the account stops the lists that synced with its calendars here.
        const QString list =
            QDir(qEnvironmentVariable("XDG_STATE_HOME")).filePath(QStringLiteral("errands.todo"));
        const SyncBindings bindings(SyncState::defaultFolder());
        QVERIFY(bindings.bind(list, serverUrl() + QStringLiteral("alice/tasks/"), QStringLiteral("home"))
                    .isEmpty());
        QVERIFY(bindings
                    .bind(list + QStringLiteral("2"), serverUrl() + QStringLiteral("alice/tasks/"),
                          QStringLiteral("other"))
                    .isEmpty());
        run = cli({"account", "remove", "home"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(list + QStringLiteral(" no longer syncs")), qPrintable(run.out));
        QVERIFY(!bindings.bindingOf(list) && bindings.bindingOf(list + QStringLiteral("2")));
        QCOMPARE(keyringRead(entry(QStringLiteral("home"))).outcome, Keyring::Outcome::NotFound);
        QVERIFY(cli({"account", "list"}).out.startsWith(QStringLiteral("No accounts")));
        QCOMPARE(cli({"account", "remove", "home"}).exitCode, 1);
    }

    // A refused password, an address that would send it unencrypted or a fingerprint that is none:
    // exit 1 with the reason, and neither the file nor the keyring holds anything.
    void nothingIsKeptThatWasRefused() {
        CliRun run = cli({"account", "add", "home", serverUrl(), "alice", "--password-stdin"}, "wrong\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("“alice”")) && run.err.contains(QStringLiteral("401")) &&
                     run.err.contains(QStringLiteral("did not accept")),
                 qPrintable(run.err));
        run = cli({"account", "add", "plain", "http://example.com/dav/", "alice", "--password-stdin"},
                  kPasswordLine);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("unencrypted")), qPrintable(run.err));
        run = cli({"account", "add", "pinned", serverUrl(), "alice", "--accept-certificate", "12:34"},
                  kPasswordLine);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("fingerprint")), qPrintable(run.err));
        QCOMPARE(
            cli({"account", "add", "-x", serverUrl(), "alice", "--password-stdin"}, kPasswordLine).exitCode,
            1);
        QVERIFY(!QFile::exists(accountsFile()));
        QCOMPARE(keyringRead(entry(QStringLiteral("home"))).outcome, Keyring::Outcome::NotFound);
    }

    // Where no Secret Service answers, the account is kept without its password, the user is told
    // why, and each use needs the password on standard input.
    void withoutAKeyringThePasswordComesEachTime() {
        CliRun run = cli({"account", "add", "home", serverUrl(), "alice", "--password-stdin"}, kPasswordLine,
                         withoutKeyring());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("No keyring answers")) &&
                     run.err.contains(QStringLiteral("--password-stdin")),
                 qPrintable(run.err));
        run = cli({"account", "calendars", "home"}, {}, withoutKeyring());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("--password-stdin")), qPrintable(run.err));
        run = cli({"account", "calendars", "home", "--password-stdin"}, kPasswordLine, withoutKeyring());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        // No terminal to ask at, and no password given: a sentence, not a wait.
        run = cli({"account", "add", "other", serverUrl(), "alice"}, {}, withoutKeyring());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("no terminal")), qPrintable(run.err));
    }

    // What a server says reaches the terminal escaped and short; a certificate that is not trusted
    // is shown for the user to check, and accepted only by its fingerprint.
    void theServerIsNotTrustedBlindly() {
        FakeDavServer server;
        server.push({FakeDavServer::response(401, "\x1b]0;owned\x07\x1b[2J" + QByteArray(20'000, 'x'))});
        CliRun run =
            cli({"account", "add", "evil", server.url().toString(), "alice", "--password-stdin"}, "pw\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(!run.err.contains(QChar(0x1b)) && run.err.contains(QStringLiteral("\\x1b]0;owned")),
                 qPrintable(run.err));
        QVERIFY(run.err.size() < 1000);

        FakeDavServer secure(true);
        run = cli({"account", "add", "tls", secure.url().toString(), "alice", "--password-stdin"}, "pw\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("SHA-256 fingerprint: 10:9B:9B:98")) &&
                     run.err.contains(QStringLiteral("--accept-certificate")),
                 qPrintable(run.err));
        const QString fingerprint = run.err.section(QStringLiteral("fingerprint: "), 1).left(95);
        pushDiscovery(secure);
        run = cli({"account", "add", "tls", secure.url(QStringLiteral("/dav/")).toString(), "alice",
                   "--password-stdin", "--accept-certificate", fingerprint},
                  "pw\n");
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(
            cli({"account", "list"}).out.contains(QStringLiteral("certificate accepted: ") + fingerprint));
    }

    // An account that cannot be written (a full disk) leaves the accounts as they were and takes
    // its password back out of the keyring.
    void aFailedWriteKeepsNothing() {
        QVERIFY(cli({"account", "add", "first", serverUrl(), "alice", "--password-stdin"}, kPasswordLine)
                    .exitCode == 0);
        const QByteArray before = test::fileBytes(accountsFile());
        const CliRun run =
            test::runCliWith({"account", "add", "second", serverUrl(), "alice", "--password-stdin"},
                             kPasswordLine, QProcessEnvironment::systemEnvironment(), true);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("Could not save")), qPrintable(run.err));
        QCOMPARE(test::fileBytes(accountsFile()), before);
        QCOMPARE(keyringRead(entry(QStringLiteral("second"))).outcome, Keyring::Outcome::NotFound);
        QVERIFY(keyringRead(entry(QStringLiteral("first"))).ok());

        // A link planted where the lock lies is not followed: the change is refused, and saying so.
        const QString lockFile = accountsFile() + QStringLiteral(".lock");
        const QString victim = accountsFile() + QStringLiteral(".victim");
        QVERIFY(QFile::remove(lockFile));
        QFile target(victim);
        QVERIFY(target.open(QIODevice::WriteOnly) && target.write("keep me") == 7);
        target.close();
        QVERIFY(QFile::link(victim, lockFile));
        const CliRun linked =
            cli({"account", "add", "third", serverUrl(), "alice", "--password-stdin"}, kPasswordLine);
        QCOMPARE(linked.exitCode, 1);
        QVERIFY2(linked.err.contains(QStringLiteral("symbolic link")) && linked.err.contains(accountsFile()),
                 qPrintable(linked.err));
        QCOMPARE(test::fileBytes(victim), QByteArray("keep me"));
        QCOMPARE(test::fileBytes(accountsFile()), before);
        QCOMPARE(keyringRead(entry(QStringLiteral("third"))).outcome, Keyring::Outcome::NotFound);
    }

    // A file of accounts that does not read is reported and left as it is.
    void aDamagedFileIsLeftAlone() {
        QFile file(accountsFile());
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write("{\"version\": 1, \"accounts\": [{\"name\": 3}]}") > 0);
        file.close();
        const QByteArray before = test::fileBytes(accountsFile());
        const CliRun run =
            cli({"account", "add", "home", serverUrl(), "alice", "--password-stdin"}, kPasswordLine);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(accountsFile()), qPrintable(run.err));
        QCOMPARE(test::fileBytes(accountsFile()), before);
        QCOMPARE(cli({"account", "list"}).exitCode, 1);
    }
};

QTEST_GUILESS_MAIN(TestCalDavAccounts)
#include "tst_caldav_accounts.moc"
