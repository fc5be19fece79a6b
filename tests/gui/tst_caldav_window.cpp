// CalDAV accounts in the window, against a Radicale of the test's own with a password and a Secret
// Service on a private bus: Preferences > Accounts adds, refuses, cancels and removes; File > Sync
// Settings binds a list to an account's calendar, and a second list bound to that calendar gets
// its items, in this profile or in another one; a certificate the system does not trust is trusted
// only once the user says so; a sync can be cancelled, and a password the server refuses during a
// sync is asked for again.
#include "cutting_proxy.h"
#include "gui_test_support.h"
#include "local_servers.h"
#include "manual_timers.h"

#include "accounts/accounts_page.h"
#include "accounts/add_account_dialog.h"
#include "accounts/calendar_picker.h"
#include "accounts/password_question.h"
#include "accounts/sync_settings_dialog.h"
#include "accounts/window_sync.h"
#include "archive/list_file.h"
#include "caldav/account_addition.h"
#include "caldav/caldav_client.h"
#include "caldav/keyring.h"
#include "caldav/wait_for.h"
#include "desktop_app/document_controller.h"
#include "dialogs/dialog_service.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "sync/sync_bindings.h"
#include "sync/sync_state.h"
#include "test_support.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/outline_tree_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QStatusBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const QString kPassword = QString::fromLatin1(LocalCalDavServer::kPassword);

/// A TLS server on the loopback with a certificate no authority signed, passing what it decrypts
/// on to a plain server: an HTTPS CalDAV server whose certificate the user must decide on.
class SelfSignedProxy : public QObject {
public:
    bool start(quint16 targetPort) {
        QFile certificate(QStringLiteral(TARDIGO_GUI_TEST_DATA_DIR "/loopback_tls_cert.pem"));
        QFile key(QStringLiteral(TARDIGO_GUI_TEST_DATA_DIR "/loopback_tls_key.pem"));
        if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
            return false;
        _certificate = QSslCertificate(certificate.readAll());
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(_certificate);
        configuration.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
        _server.setSslConfiguration(configuration);
        connect(&_server, &QSslServer::pendingConnectionAvailable, this, [this, targetPort] {
            while (QTcpSocket* client = _server.nextPendingConnection())
                pass(client, targetPort);
        });
        return _server.listen(QHostAddress::LocalHost);
    }
    QUrl url() const { return QUrl(QStringLiteral("https://127.0.0.1:%1/").arg(_server.serverPort())); }
    const QSslCertificate& certificate() const { return _certificate; }
    /// The bytes a client sent through TLS, which only a client that trusted the certificate sends.
    qint64 received() const { return _received; }

private:
    void pass(QTcpSocket* client, quint16 targetPort) {
        auto* target = new QTcpSocket(client);
        connect(client, &QTcpSocket::readyRead, target, [this, client, target] {
            const QByteArray bytes = client->readAll();
            _received += bytes.size();
            target->write(bytes);
        });
        connect(target, &QTcpSocket::readyRead, client,
                [client, target] { client->write(target->readAll()); });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        connect(target, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        target->connectToHost(QHostAddress::LocalHost, targetPort);
    }

    QSslServer _server;
    QSslCertificate _certificate;
    qint64 _received = 0;
};

Keyring::Answer keyringRead(const KeyringEntry& entry) {
    return waitFor<Keyring::Answer>(
        [&](Keyring::Done done) { Keyring::readPassword(entry, std::move(done)); });
}

bool keyringWrite(const KeyringEntry& entry, const QString& password) {
    return waitFor<Keyring::Answer>(
               [&](Keyring::Done done) { Keyring::writePassword(entry, password, std::move(done)); })
        .ok();
}

bool keyringRemove(const KeyringEntry& entry) {
    return waitFor<Keyring::Answer>(
               [&](Keyring::Done done) { Keyring::removePassword(entry, std::move(done)); })
        .ok();
}

/// Another CalDAV client renames a to-do of the calendar, as a phone's app would.
bool renameOnServer(const QUrl& server, const QString& calendar, const QByteArray& from,
                    const QByteArray& to) {
    CalDavClient other({server, QString::fromLatin1(LocalCalDavServer::kUser), kPassword, {}, false});
    const auto tags =
        waitForDav<QList<ObjectTag>>([&](auto done) { other.listTodoTags(QUrl(calendar), std::move(done)); });
    for (const ObjectTag& tag : tags.value) {
        const auto object =
            waitForDav<CalendarObject>([&](auto done) { other.fetch(tag.url, std::move(done)); });
        if (!object.ok() || !object.value.data.contains("SUMMARY:" + from))
            continue;
        QByteArray data = object.value.data;
        data.replace("SUMMARY:" + from, "SUMMARY:" + to);
        return waitForDav<QByteArray>([&](auto done) {
                   other.replace(object.value.url, data, object.value.etag, std::move(done));
               })
            .ok();
    }
    return false;
}

/// The names of the list's items as its file holds them.
QStringList savedNames(const QString& list) {
    const ListLoad load = readListFile(list);
    QStringList names;
    if (!load.ok())
        return names;
    for (const Value& child : childrenOf(*load.root)->items)
        if (const QString* name = child.asDict() ? child.asDict()->value(key::name).asString() : nullptr)
            names << *name;
    names.sort();
    return names;
}

/// Another Tardigo profile: its own config and state folders and keyring, reached through
/// tardigo-cli as a second program.
class OtherProfile {
public:
    QString start() {
        if (const QString need = _keyring.start(true); !need.isEmpty())
            return need;
        _environment = QProcessEnvironment::systemEnvironment();
        _environment.insert(QStringLiteral("HOME"), _home.path());
        _environment.insert(QStringLiteral("XDG_CONFIG_HOME"), _home.filePath(QStringLiteral("config")));
        _environment.insert(QStringLiteral("XDG_STATE_HOME"), _home.filePath(QStringLiteral("state")));
        _environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), _home.filePath(QStringLiteral("run")));
        _environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                            QString::fromLatin1(_keyring.address()));
        return QDir(_home.path()).mkdir(QStringLiteral("run")) ? QString()
                                                               : QStringLiteral("no runtime folder");
    }
    CliRun cli(const QStringList& args, const QByteArray& input = {}) const {
        const CliRun run = runCliWith(args, input, _environment);
        if (run.exitCode != 0)
            qWarning("tardigo-cli %s: %s", qPrintable(args.join(u' ')), qPrintable(run.err));
        return run;
    }
    QString path(const QString& name) const { return _home.filePath(name); }

private:
    QTemporaryDir _home;
    PrivateKeyring _keyring;
    QProcessEnvironment _environment;
};

/// Every file under the folder that holds the text.
QStringList filesHolding(const QString& folder, const QByteArray& text) {
    QStringList found;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text))
            found << file.fileName();
    }
    return found;
}

/// Saves a picture of the widget into $TARDIGO_SCREENSHOTS, when it is set; the accounts page as
/// wide as the preferences window shows it.
void screenshot(QWidget& widget, const QString& name) {
    const QString folder = qEnvironmentVariable("TARDIGO_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    if (qobject_cast<AccountsPage*>(&widget))
        widget.resize(620, 240);
    widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace

class TestCalDavWindow : public QObject {
    Q_OBJECT
    LocalCalDavServer _radicale{LocalCalDavServer::Kind::Radicale};
    PrivateKeyring _keyring;
    std::unique_ptr<QTemporaryDir> _files;
    std::unique_ptr<DocumentController> _controller;

    Account radicaleAccount(const QString& name) const {
        Account account;
        account.name = name;
        account.url = _radicale.url();
        account.user = _radicale.user();
        return account;
    }
    KeyringEntry entryOf(const QString& name) const { return radicaleAccount(name).keyringEntry(); }
    /// Adds the account as the window does, without its dialog.
    bool addAccount(const Account& account) {
        AccountAddition addition;
        const AccountAdded added = waitFor<AccountAdded>(
            [&](AccountAddition::Done done) { addition.start(account, kPassword, std::move(done)); });
        if (!added.ok())
            qWarning("%s", qPrintable(added.failure()));
        return added.ok();
    }
    static AddAccountDialog* openAddDialog(AccountsPage& page) {
        page.findChild<QPushButton*>(QStringLiteral("addAccountButton"))->click();
        return page.findChild<AddAccountDialog*>(QStringLiteral("addAccount"));
    }
    static void fill(AddAccountDialog& dialog, const QUrl& url, const QString& password) {
        dialog.findChild<QLineEdit*>(QStringLiteral("accountServerField"))->setText(url.toString());
        dialog.findChild<QLineEdit*>(QStringLiteral("accountUserField"))
            ->setText(QString::fromLatin1(LocalCalDavServer::kUser));
        dialog.findChild<QLineEdit*>(QStringLiteral("accountPasswordField"))->setText(password);
        dialog.findChild<QLineEdit*>(QStringLiteral("accountNameField"))
            ->setText(QStringLiteral("Home server"));
    }
    static QString message(const AddAccountDialog& dialog) {
        return dialog.findChild<QLabel*>(QStringLiteral("addAccountMessage"))->text();
    }
    static QStringList accountNames() {
        QString error;
        QStringList names;
        for (const Account& account : AccountStore().load(&error).value_or(QList<Account>()))
            names << account.name;
        return names;
    }
    static QString stateOf(const AccountsPage& page, int row) {
        const auto* table = page.findChild<QTreeWidget*>(QStringLiteral("accountsTable"));
        return table->topLevelItem(row) ? table->topLevelItem(row)->text(3) : QString();
    }

    QString listPath(const QString& name) const { return _files->filePath(name + QStringLiteral(".todo")); }
    DocumentMainWindow* openList(const QString& name, std::initializer_list<const char*> items) {
        const NodePtr root = newListRoot();
        for (const char* text : items)
            childrenOf(*root)->items.push_back(item(QString::fromUtf8(text)));
        if (!writeListFile(listPath(name), root).isEmpty())
            return nullptr;
        DocumentMainWindow* window = _controller->openFile(listPath(name));
        if (window && !QTest::qWaitForWindowExposed(window))
            qWarning("the window was not shown");
        return window;
    }
    /// File > Sync Settings… with a calendar of the account chosen: the one of that name, or the
    /// new one. Answers the dialog, its calendars listed.
    static SyncSettingsDialog* calendarSettings(DocumentMainWindow& window) {
        window.menus().actions().syncSettings->trigger();
        auto* dialog = window.findChild<SyncSettingsDialog*>(QStringLiteral("syncSettings"));
        if (!dialog)
            return nullptr;
        dialog->findChild<QRadioButton*>(QStringLiteral("syncToCalendar"))->click();
        auto* picker = dialog->findChild<CalendarPicker*>(QStringLiteral("calendarPicker"));
        if (!QTest::qWaitFor([&] { return picker->isReady(); }, 10000))
            qWarning("the calendars were not listed: %s",
                     qPrintable(picker->findChild<QLabel*>(QStringLiteral("calendarPickerMessage"))->text()));
        return dialog;
    }
    static bool acceptAndSync(DocumentMainWindow& window, SyncSettingsDialog& dialog) {
        QSignalSpy ended(&window.sync(), &WindowSync::syncEnded);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        return ended.wait(20000);
    }
    static bool syncNow(DocumentMainWindow& window) {
        QSignalSpy ended(&window.sync(), &WindowSync::syncEnded);
        window.menus().actions().syncNow->trigger();
        return ended.wait(20000);
    }
    /// Opens a list of these items bound to a new calendar of the Radicale account, synced.
    DocumentMainWindow* openBoundList(const QString& name, std::initializer_list<const char*> items) {
        DocumentMainWindow* window = openList(name, items);
        SyncSettingsDialog* dialog = window ? calendarSettings(*window) : nullptr;
        return dialog && acceptAndSync(*window, *dialog) ? window : nullptr;
    }
    static PasswordQuestion* passwordQuestion(const DocumentMainWindow& window) {
        PasswordQuestion* shown = nullptr;
        const bool asked = QTest::qWaitFor([&] {
            for (PasswordQuestion* question : window.findChildren<PasswordQuestion*>())
                if (question->isVisible())
                    shown = question;
            return shown != nullptr;
        });
        return asked ? shown : nullptr;
    }
    static void answer(PasswordQuestion& question, const QString& password) {
        question.findChild<QLineEdit*>(QStringLiteral("passwordQuestionField"))->setText(password);
        QTest::keyClick(question.findChild<QLineEdit*>(QStringLiteral("passwordQuestionField")),
                        Qt::Key_Return);
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        TARDIGO_NEED(_radicale.start());
        TARDIGO_NEED(_keyring.start(true));
        qputenv("DBUS_SESSION_BUS_ADDRESS", _keyring.address());
    }
    void init() {
        DialogService::setScripted(true);
        QFile::remove(AccountStore::defaultPath());
        _files = std::make_unique<QTemporaryDir>();
        _controller = std::make_unique<DocumentController>();
    }
    void cleanup() {
        _controller.reset();
        _files.reset();
        QString error;
        for (const Account& account : AccountStore().load(&error).value_or(QList<Account>())) {
            keyringRemove(account.keyringEntry());
            keyringRemove(KeyringEntry::byNameAlone(account.name));
        }
    }

    // A wrong password is told in words and stores nothing; the right one stores the account, its
    // password in the keyring and nowhere else, and the page lists it as ready.
    void addingAnAccountStoresItOnlyOnceTheServerAcceptsIt() {
        AccountsPage page(nullptr);
        page.show();
        AddAccountDialog* dialog = openAddDialog(page);
        QVERIFY(dialog);
        fill(*dialog, _radicale.url(), QStringLiteral("wrong horse"));
        dialog->findChild<QPushButton*>(QStringLiteral("addAccountButton"))->click();
        QVERIFY(dialog->isAsking());
        QVERIFY(QTest::qWaitFor([&] { return !dialog->isAsking(); }, 10000));
        QVERIFY2(message(*dialog).contains(QStringLiteral("alice")), qPrintable(message(*dialog)));
        QVERIFY2(message(*dialog).contains(QStringLiteral("was not added")), qPrintable(message(*dialog)));
        screenshot(*dialog, QStringLiteral("account-refused"));
        QVERIFY(accountNames().isEmpty());
        QCOMPARE(keyringRead(entryOf(QStringLiteral("Home server"))).outcome, Keyring::Outcome::NotFound);

        dialog->findChild<QLineEdit*>(QStringLiteral("accountPasswordField"))->setText(kPassword);
        QSignalSpy accepted(dialog, &QDialog::accepted);
        dialog->findChild<QPushButton*>(QStringLiteral("addAccountButton"))->click();
        QVERIFY(accepted.wait(10000));
        QCOMPARE(accountNames(), QStringList{QStringLiteral("Home server")});
        QCOMPARE(keyringRead(entryOf(QStringLiteral("Home server"))).password, kPassword);
        QVERIFY(QTest::qWaitFor([&] { return stateOf(page, 0) == QStringLiteral("Ready"); }, 5000));
        screenshot(page, QStringLiteral("accounts"));
        QCOMPARE(filesHolding(qEnvironmentVariable("XDG_CONFIG_HOME"), kPassword.toUtf8()), QStringList());
        QCOMPARE(filesHolding(SyncState::defaultFolder(), kPassword.toUtf8()), QStringList());
    }

    // Cancel while a server keeps the dialog waiting stops the asking: nothing is stored then or
    // later, and the dialog stays for another try; a second Cancel closes it.
    void cancelWhileTheServerIsAskedStoresNothing() {
        QTcpServer silent; // accepts and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        AccountsPage page(nullptr);
        page.show();
        AddAccountDialog* dialog = openAddDialog(page);
        fill(*dialog, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())), kPassword);
        dialog->findChild<QPushButton*>(QStringLiteral("addAccountButton"))->click();
        QVERIFY(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, 5000));
        QVERIFY(dialog->isAsking());
        screenshot(*dialog, QStringLiteral("account-asking"));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isAsking());
        QVERIFY(dialog->isVisible());
        QVERIFY(message(*dialog).contains(QStringLiteral("nothing was stored")));
        QTest::qWait(300);
        QVERIFY(accountNames().isEmpty());
        QCOMPARE(keyringRead(entryOf(QStringLiteral("Home server"))).outcome, Keyring::Outcome::NotFound);
        QSignalSpy rejected(dialog, &QDialog::rejected);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
    }

    // Removing asks first, naming the lists that sync with the account here; only Remove removes
    // the account, its password and those lists' bindings.
    void removingAnAccountNamesItsListsAndAsks() {
        QVERIFY(addAccount(radicaleAccount(QStringLiteral("Work"))));
        const QString list = listPath(QStringLiteral("errands"));
        const SyncBindings bindings(SyncState::defaultFolder());
        QVERIFY(bindings
                    .bind(list, _radicale.url().toString() + QStringLiteral("alice/tasks/"),
                          QStringLiteral("Work"))
                    .isEmpty());
        AccountsPage page(nullptr);
        DialogService::takeShownTexts();
        DialogService::queueAnswer(QMessageBox::Cancel);
        page.removeAccount();
        const QStringList asked = DialogService::takeShownTexts();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].startsWith(QStringLiteral("Remove the account “Work”?")), qPrintable(asked[0]));
        QVERIFY2(asked[0].contains(list), qPrintable(asked[0]));
        QCOMPARE(accountNames(), QStringList{QStringLiteral("Work")});

        DialogService::queueAnswer(QMessageBox::Yes);
        page.removeAccount();
        QVERIFY(QTest::qWaitFor([&] { return accountNames().isEmpty(); }, 5000));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return keyringRead(entryOf(QStringLiteral("Work"))).outcome == Keyring::Outcome::NotFound;
            },
            5000));
        QVERIFY(!bindings.bindingOf(list));
        QTRY_COMPARE(page.findChild<QTreeWidget*>(QStringLiteral("accountsTable"))->topLevelItemCount(), 0);
    }

    // A list bound through Sync Settings to a new calendar named after it writes its items there;
    // a second list bound to that calendar gets them, and an edit made by another client arrives
    // at the next sync.
    void aListBoundToANewCalendarReachesASecondList() {
        QVERIFY(addAccount(radicaleAccount(QStringLiteral("Radicale"))));
        DocumentMainWindow* first = openList(QStringLiteral("Errands"), {"buy stamps", "call the plumber"});
        QVERIFY(first);
        SyncSettingsDialog* dialog = calendarSettings(*first);
        QVERIFY(dialog);
        auto* calendars = dialog->findChild<QComboBox*>(QStringLiteral("syncCalendarBox"));
        QCOMPARE(calendars->currentText(), QStringLiteral("New calendar “Errands”"));
        screenshot(*dialog, QStringLiteral("sync-settings-calendar"));
        QVERIFY(acceptAndSync(*first, *dialog));
        const QString calendar = first->sync().folder();
        QVERIFY2(calendar.startsWith(_radicale.url().toString()), qPrintable(calendar));
        const auto* status = first->findChild<QLabel*>(QStringLiteral("syncStatus"));
        QVERIFY2(status->text().startsWith(QStringLiteral("Synced ")), qPrintable(status->text()));
        QCOMPARE(
            SyncBindings(SyncState::defaultFolder()).bindingOf(listPath(QStringLiteral("Errands")))->account,
            QStringLiteral("Radicale"));

        // The second list finds the calendar by its name, and nothing is asked: it was bound nowhere.
        DocumentMainWindow* second = openList(QStringLiteral("Errands copy"), {});
        QVERIFY(second);
        dialog = calendarSettings(*second);
        calendars = dialog->findChild<QComboBox*>(QStringLiteral("syncCalendarBox"));
        calendars->setCurrentIndex(calendars->findText(QStringLiteral("Errands")));
        DialogService::takeShownTexts();
        QVERIFY(acceptAndSync(*second, *dialog));
        QCOMPARE(DialogService::takeShownTexts(), QStringList());
        QCOMPARE(second->sync().folder(), calendar);
        QStringList names = rowNames(second->outline());
        names.sort();
        QCOMPARE(names, (QStringList{"buy stamps", "call the plumber"}));

        // Another client renames a to-do on the server; the first list's next sync brings it.
        QVERIFY(renameOnServer(_radicale.url(), calendar, "buy stamps", "edited elsewhere"));
        QVERIFY(syncNow(*first));
        QVERIFY2(rowNames(first->outline()).contains(QStringLiteral("edited elsewhere")),
                 qPrintable(rowNames(first->outline()).join(u',')));

        // Another client empties the calendar: the window asks, and keeping changes nothing.
        CalDavClient other({_radicale.url(), _radicale.user(), kPassword, {}, false});
        QSignalSpy ended(&first->sync(), &WindowSync::syncEnded);
        const auto emptied = waitForDav<QList<ObjectTag>>(
            [&](auto done) { other.listTodoTags(QUrl(calendar), std::move(done)); });
        for (const ObjectTag& tag : emptied.value)
            QVERIFY(waitForDav<CalDavClient::Nothing>([&](auto done) {
                        other.remove(tag.url, tag.etag, std::move(done));
                    }).ok());
        first->menus().actions().syncNow->trigger();
        QVERIFY(ended.wait(20000));
        QMessageBox* box = nullptr;
        QVERIFY(QTest::qWaitFor(
            [&] { return (box = first->findChild<QMessageBox*>(QStringLiteral("messageBox"))) != nullptr; }));
        QCOMPARE(box->text(), QStringLiteral("The calendar of “Errands.todo” holds none of its to-dos."));
        for (QAbstractButton* button : box->buttons())
            if (button->text().remove(u'&') == QStringLiteral("Keep Items"))
                button->click();
        QCOMPARE(rowNames(first->outline()).size(), 2);
    }

    // A list that syncs with a folder here is moved to a calendar only once the user agrees.
    void aListBoundElsewhereAsksBeforeItIsRebound() {
        QVERIFY(addAccount(radicaleAccount(QStringLiteral("Radicale"))));
        QVERIFY(QDir(_files->path()).mkdir(QStringLiteral("tasks")));
        const QString folder = _files->filePath(QStringLiteral("tasks"));
        const NodePtr root = newListRoot();
        root->set(key::syncFolder, folder);
        QVERIFY(writeListFile(listPath(QStringLiteral("Chores")), root).isEmpty());
        const SyncBindings bindings(SyncState::defaultFolder());
        QVERIFY(bindings.bind(listPath(QStringLiteral("Chores")), folder).isEmpty());
        DocumentMainWindow* window = _controller->openFile(listPath(QStringLiteral("Chores")));
        QVERIFY(window);

        SyncSettingsDialog* dialog = calendarSettings(*window);
        QVERIFY(dialog);
        DialogService::takeShownTexts();
        DialogService::queueAnswer(QMessageBox::Cancel);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        const QStringList asked = DialogService::takeShownTexts();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(
            asked[0].startsWith(QStringLiteral("“Chores.todo” syncs with %1 on this computer.").arg(folder)),
            qPrintable(asked[0]));
        QVERIFY(dialog->isVisible());
        QCOMPARE(window->sync().folder(), folder);
        QCOMPARE(bindings.bindingOf(listPath(QStringLiteral("Chores")))->location, folder);

        DialogService::queueAnswer(QMessageBox::Yes);
        QVERIFY(acceptAndSync(*window, *dialog));
        QVERIFY(window->sync().folder().startsWith(_radicale.url().toString()));
        QCOMPARE(bindings.bindingOf(listPath(QStringLiteral("Chores")))->account, QStringLiteral("Radicale"));
    }

    // An HTTPS server whose certificate no authority signed: the question shows the certificate,
    // nothing reaches the server before the user trusts it, declining stores nothing, trusting
    // adds the account with that one certificate, which the page shows and can forget.
    void aCertificateIsTrustedOnlyWhenTheUserSaysSo() {
        SelfSignedProxy proxy;
        QVERIFY(proxy.start(_radicale.url().port()));
        AccountsPage page(nullptr);
        page.show();
        AddAccountDialog* dialog = openAddDialog(page);
        fill(*dialog, proxy.url(), kPassword);
        DialogService::takeShownTexts();
        DialogService::queueAnswer(QMessageBox::Cancel);
        dialog->findChild<QPushButton*>(QStringLiteral("addAccountButton"))->click();
        QVERIFY(QTest::qWaitFor(
            [&] { return !dialog->isAsking() && message(*dialog).contains(QStringLiteral("certificate")); },
            10000));
        QCOMPARE(proxy.received(), 0);
        QVERIFY(accountNames().isEmpty());

        DialogService::takeShownTexts();
        DialogService::queueAnswer(QMessageBox::Yes);
        QSignalSpy accepted(dialog, &QDialog::accepted);
        dialog->findChild<QPushButton*>(QStringLiteral("addAccountButton"))->click();
        QVERIFY(accepted.wait(10000));
        const QStringList asked = DialogService::takeShownTexts();
        QCOMPARE(asked.size(), 1);
        const QString fingerprint =
            QString::fromLatin1(proxy.certificate().digest(QCryptographicHash::Sha256).toHex(':').toUpper());
        for (const QString& shown :
             {QStringLiteral("Subject: CN=127.0.0.1, O=Tardigo Test Server"),
              QStringLiteral("Issuer: CN=127.0.0.1, O=Tardigo Test Server"),
              QStringLiteral("Valid from 2026-12-08T14:29:18Z to 2126-11-14T14:29:18Z"),
              QStringLiteral("SHA-256 fingerprint: ") + fingerprint})
            QVERIFY2(asked[0].contains(shown), qPrintable(asked[0]));
        QVERIFY(proxy.received() > 0);
        QString error;
        const std::optional<Account> stored = AccountStore().find(QStringLiteral("Home server"), &error);
        QVERIFY2(stored, qPrintable(error));
        QCOMPARE(stored->acceptedCertificate, proxy.certificate().digest(QCryptographicHash::Sha256));

        const auto* shown = page.findChild<QLabel*>(QStringLiteral("accountCertificate"));
        QVERIFY(shown->isVisible() && shown->text().contains(fingerprint));
        QVERIFY(QTest::qWaitFor(
            [&] { return stateOf(page, 0) == QStringLiteral("Ready; trusts a certificate"); }, 5000));
        screenshot(page, QStringLiteral("accounts-certificate"));
        page.findChild<QPushButton*>(QStringLiteral("forgetCertificateButton"))->click();
        QVERIFY(AccountStore().find(QStringLiteral("Home server"), &error)->acceptedCertificate.isEmpty());
        QVERIFY(!shown->isVisible());
    }

    // Two profiles, each with its own settings, state and keyring, bind a list each to one
    // calendar: what one adds reaches the other at its next sync, both ways, and so does an edit
    // made by another CalDAV client.
    void twoProfilesShareACalendar() {
        OtherProfile other;
        TARDIGO_NEED(other.start());
        QVERIFY(addAccount(radicaleAccount(QStringLiteral("Radicale"))));
        DocumentMainWindow* window = openBoundList(QStringLiteral("Groceries"), {"milk"});
        QVERIFY(window);

        QCOMPARE(other
                     .cli({"account", "add", "home", _radicale.url().toString(), "alice", "--password-stdin"},
                          kPassword.toUtf8() + '\n')
                     .exitCode,
                 0);
        QCOMPARE(keyringRead(entryOf(QStringLiteral("home"))).outcome, Keyring::Outcome::NotFound);
        const QString theirs = other.path(QStringLiteral("groceries.todo"));
        QCOMPARE(other.cli({"new", theirs}).exitCode, 0);
        QCOMPARE(other.cli({"sync", theirs, "--account", "home", "--calendar", "Groceries"}).exitCode, 0);
        QCOMPARE(savedNames(theirs), QStringList{QStringLiteral("milk")});

        QCOMPARE(other.cli({"add", theirs, "bread"}).exitCode, 0);
        QCOMPARE(other.cli({"sync", theirs}).exitCode, 0);
        QVERIFY(syncNow(*window));
        QStringList shown = rowNames(window->outline());
        shown.sort();
        QCOMPARE(shown, (QStringList{"bread", "milk"}));

        QVERIFY(renameOnServer(_radicale.url(), window->sync().folder(), "milk", "oat milk"));
        QVERIFY(syncNow(*window));
        QVERIFY(rowNames(window->outline()).contains(QStringLiteral("oat milk")));
        QCOMPARE(other.cli({"sync", theirs}).exitCode, 0);
        QCOMPARE(savedNames(theirs), (QStringList{"bread", "oat milk"}));
    }

    // Cancel in the status line, or File > Cancel Sync, stops a sync that waits for a server: the list stays
    // as it was, no error is told, and the status line says it was cancelled.
    void cancelStopsASyncAndChangesNothing() {
        QTcpServer silent; // accepts and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        Account account;
        account.name = QStringLiteral("Silent");
        account.url = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort()));
        account.user = _radicale.user();
        QVERIFY(AccountStore().add(account).isEmpty());
        QVERIFY(keyringWrite(account.keyringEntry(), kPassword));
        const QString calendar = account.url.toString() + QStringLiteral("alice/tasks/");
        const NodePtr root = newListRoot();
        childrenOf(*root)->items.push_back(item(QStringLiteral("water the plants")));
        root->set(key::syncFolder, calendar);
        const QString list = listPath(QStringLiteral("Plants"));
        QVERIFY(writeListFile(list, root).isEmpty());
        QVERIFY(SyncBindings(SyncState::defaultFolder()).bind(list, calendar, account.name).isEmpty());
        DocumentMainWindow* window = _controller->openFile(list);
        QVERIFY(window && QTest::qWaitForWindowExposed(window));

        QSignalSpy ended(&window->sync(), &WindowSync::syncEnded);
        window->menus().actions().syncNow->trigger();
        QVERIFY(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, 5000));
        const QByteArray before = fileBytes(list); // as Sync Now saved it
        auto* cancel = window->findChild<QToolButton*>(QStringLiteral("syncCancelButton"));
        const auto* status = window->findChild<QLabel*>(QStringLiteral("syncStatus"));
        QVERIFY(cancel->isVisible() &&
                window->findChild<QWidget*>(QStringLiteral("syncProgress"))->isVisible());
        QCOMPARE(status->text(), QStringLiteral("Syncing with the server…"));
        QCOMPARE(cancel->accessibleName(), QStringLiteral("Cancel Sync"));
        if (const QString folder = qEnvironmentVariable("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
            window->statusBar()->grab().save(
                QDir(folder).filePath(QStringLiteral("sync-status-syncing.png")));
        // The menu offers it too, for the keyboard, while a sync runs.
        QAction* cancelSync = window->menus().actions().cancelSync;
        window->validate();
        QVERIFY(cancelSync->isEnabled());
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Space);
        QVERIFY(ended.wait(5000));
        window->validate();
        QVERIFY(!cancelSync->isEnabled());
        QCOMPARE(status->text(), QStringLiteral("Sync cancelled"));
        QVERIFY(!cancel->isVisible());
        QVERIFY(!window->findChild<QMessageBox*>(QStringLiteral("messageBox")));
        QCOMPARE(fileBytes(list), before);
        QCOMPARE(rowNames(window->outline()), QStringList{QStringLiteral("water the plants")});
    }

    // A password the server refuses during a sync is asked for on the list's window, naming the
    // account and the server; nothing changes meanwhile. Another wrong one is asked for again, the
    // right one syncs and goes to the keyring; stopping for now says so in the status line.
    void aPasswordRefusedDuringASyncIsAskedForAgain() {
        QVERIFY(addAccount(radicaleAccount(QStringLiteral("Radicale"))));
        DocumentMainWindow* window = openBoundList(QStringLiteral("Garden"), {"rake leaves"});
        QVERIFY(window);
        const QString list = listPath(QStringLiteral("Garden"));
        QVERIFY(renameOnServer(_radicale.url(), window->sync().folder(), "rake leaves", "rake the lawn"));
        QVERIFY(keyringWrite(entryOf(QStringLiteral("Radicale")), QStringLiteral("changed on the server")));
        const QByteArray before = fileBytes(list);

        QVERIFY(syncNow(*window));
        PasswordQuestion* question = passwordQuestion(*window);
        QVERIFY(question);
        const QString said = question->findChild<QLabel*>(QStringLiteral("passwordQuestionTitle"))->text() +
                             question->findChild<QLabel*>(QStringLiteral("passwordQuestionMessage"))->text();
        QVERIFY2(said.contains(QStringLiteral("kept for this account")), qPrintable(said));
        for (const QString& named :
             {QStringLiteral("“Radicale”"), QStringLiteral("“alice”"), serverName(_radicale.url())})
            QVERIFY2(said.contains(named), qPrintable(said));
        QVERIFY(!window->findChild<QMessageBox*>(QStringLiteral("messageBox")));
        QCOMPARE(fileBytes(list), before);
        if (const QString folder = qEnvironmentVariable("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
            question->grab().save(QDir(folder).filePath(QStringLiteral("sync-password-refused.png")));

        QSignalSpy ended(&window->sync(), &WindowSync::syncEnded);
        answer(*question, QStringLiteral("still wrong"));
        QVERIFY(ended.wait(20000));
        question = passwordQuestion(*window);
        QVERIFY(question);
        const QString again = question->findChild<QLabel*>(QStringLiteral("passwordQuestionMessage"))->text();
        QVERIFY2(again.contains(QStringLiteral("the password you typed")) &&
                     !again.contains(QStringLiteral("kept for this account")),
                 qPrintable(again));
        screenshot(*question, QStringLiteral("sync-password-typed-refused"));
        QCOMPARE(fileBytes(list), before);
        answer(*question, kPassword);
        QVERIFY(ended.wait(20000));
        QCOMPARE(rowNames(window->outline()), QStringList{QStringLiteral("rake the lawn")});
        QVERIFY(QTest::qWaitFor(
            [&] { return keyringRead(entryOf(QStringLiteral("Radicale"))).password == kPassword; }, 5000));

        QVERIFY(keyringWrite(entryOf(QStringLiteral("Radicale")), QStringLiteral("changed again")));
        QVERIFY(syncNow(*window));
        question = passwordQuestion(*window);
        QVERIFY(question);
        question->findChild<QPushButton*>(QStringLiteral("passwordQuestionStop"))->click();
        const auto* status = window->findChild<QLabel*>(QStringLiteral("syncStatus"));
        QCOMPARE(status->text(), QStringLiteral("Not syncing: the server refused the password"));
    }

    // A server that stopped answering is named as the cause, in the message and the status line, with
    // word that nothing was lost and the changes wait; no password is asked for.
    void aServerOutOfReachIsToldAsSuch() {
        auto server = std::make_unique<CuttingProxy>(_radicale.url().port());
        Account account = radicaleAccount(QStringLiteral("Through"));
        account.url = server->url();
        QVERIFY(addAccount(account));
        DocumentMainWindow* window = openBoundList(QStringLiteral("Errands"), {"post the letter"});
        QVERIFY(window);
        const QString list = listPath(QStringLiteral("Errands"));
        const QByteArray before = fileBytes(list);
        server.reset(); // its port refuses connections from now on

        QVERIFY(syncNow(*window));
        auto* box = window->findChild<QMessageBox*>(QStringLiteral("messageBox"));
        QVERIFY(box);
        QCOMPARE(box->text(),
                 QStringLiteral("“Errands.todo” was not synced: the server could not be reached."));
        screenshot(*box, QStringLiteral("sync-server-out-of-reach-box"));
        const QString said = box->informativeText();
        for (const QString& expected : {QStringLiteral("Connection refused"),
                                        QStringLiteral("Nothing was lost"), QStringLiteral("next sync")})
            QVERIFY2(said.contains(expected), qPrintable(said));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("syncStatus"))->text(),
                 QStringLiteral("Not synced: the server cannot be reached"));
        QVERIFY(!passwordQuestion(*window));
        QCOMPARE(fileBytes(list), before);
        screenshot(*window, QStringLiteral("sync-server-out-of-reach"));
    }

    // With no password for the account in the keyring, a sync asks for one on the list's window and
    // says why; nothing changes meanwhile. The one typed syncs and goes to the keyring.
    void aPasswordMissingFromTheKeyringIsAskedFor() {
        QVERIFY(addAccount(radicaleAccount(QStringLiteral("Radicale"))));
        DocumentMainWindow* window = openBoundList(QStringLiteral("Shed"), {"oil the hinges"});
        QVERIFY(window);
        const QString list = listPath(QStringLiteral("Shed"));
        QVERIFY(renameOnServer(_radicale.url(), window->sync().folder(), "oil the hinges", "oil the gate"));
        const auto forgetPassword = [&] { return keyringRemove(entryOf(QStringLiteral("Radicale"))); };
        QVERIFY(forgetPassword());
        // The password as earlier versions kept it, under the account's name alone, is not used.
        QVERIFY(keyringWrite(KeyringEntry::byNameAlone(QStringLiteral("Radicale")), kPassword));
        const QByteArray before = fileBytes(list);

        QVERIFY(syncNow(*window));
        PasswordQuestion* question = passwordQuestion(*window);
        QVERIFY(question);
        QCOMPARE(question->findChild<QLabel*>(QStringLiteral("passwordQuestionTitle"))->text(),
                 QStringLiteral("The keyring holds no password for the account “Radicale”."));
        QVERIFY(!window->findChild<QMessageBox*>(QStringLiteral("messageBox")));
        QCOMPARE(fileBytes(list), before);
        if (const QString folder = qEnvironmentVariable("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
            question->grab().save(QDir(folder).filePath(QStringLiteral("sync-password-missing.png")));
        QSignalSpy ended(&window->sync(), &WindowSync::syncEnded);
        answer(*question, kPassword);
        QVERIFY(ended.wait(20000));
        QCOMPARE(rowNames(window->outline()), QStringList{QStringLiteral("oil the gate")});
        QVERIFY(QTest::qWaitFor(
            [&] { return keyringRead(entryOf(QStringLiteral("Radicale"))).password == kPassword; }, 5000));
        QCOMPARE(keyringRead(KeyringEntry::byNameAlone(QStringLiteral("Radicale"))).outcome,
                 Keyring::Outcome::NotFound);

        // Stopping for now says what is missing.
        QVERIFY(forgetPassword());
        QVERIFY(syncNow(*window));
        question = passwordQuestion(*window);
        QVERIFY(question);
        question->findChild<QPushButton*>(QStringLiteral("passwordQuestionStop"))->click();
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("syncStatus"))->text(),
                 QStringLiteral("Not syncing: the keyring holds no password"));

        // Moved to a folder, the list syncs without a password and is not asked for one.
        QVERIFY(QDir(_files->path()).mkdir(QStringLiteral("shed-folder")));
        const QString folder = _files->filePath(QStringLiteral("shed-folder"));
        window->menus().actions().syncSettings->trigger();
        auto* dialog = window->findChild<SyncSettingsDialog*>(QStringLiteral("syncSettings"));
        QVERIFY(dialog);
        dialog->findChild<QRadioButton*>(QStringLiteral("syncToFolder"))->click();
        dialog->findChild<QLineEdit*>(QStringLiteral("syncFolderField"))->setText(folder);
        DialogService::queueAnswer(QMessageBox::Yes);
        QVERIFY(acceptAndSync(*window, *dialog));
        QCOMPARE(window->sync().folder(), folder);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*.ics")}).size(), 1);
        QCoreApplication::processEvents();
        for (const PasswordQuestion* shown : window->findChildren<PasswordQuestion*>())
            QVERIFY(!shown->isVisible());
        QVERIFY(!window->findChild<QLabel*>(QStringLiteral("syncStatus"))
                     ->text()
                     .contains(QStringLiteral("password")));
    }

    // A list on a server syncs on a timer of its own, as often as the minder runs, but not while a
    // dialog is open on its window, nor after the user stopped its syncing for now.
    void aBoundListSyncsOnItsOwnTimer() {
        using namespace std::chrono_literals;
        QVERIFY(addAccount(radicaleAccount(QStringLiteral("Radicale"))));
        DocumentMainWindow* window = openBoundList(QStringLiteral("Porch"), {"sweep"});
        QVERIFY(window);
        QVERIFY(renameOnServer(_radicale.url(), window->sync().folder(), "sweep", "sweep the porch"));
        ManualTimers timers(QDateTime::currentDateTime());
        WindowSync timed(*window, timers);

        auto* dialog = new QDialog(window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
        timers.advance(15min);
        QVERIFY(!timed.isSyncing());
        dialog->close();
        QSignalSpy ended(&timed, &WindowSync::syncEnded);
        timers.advance(15min);
        QVERIFY(timed.isSyncing());
        QVERIFY(ended.wait(20000));
        QCOMPARE(rowNames(window->outline()), QStringList{QStringLiteral("sweep the porch")});

        // Once the user stopped syncing for now, after a refused password, the timer syncs nothing.
        QVERIFY(keyringWrite(entryOf(QStringLiteral("Radicale")), QStringLiteral("changed on the server")));
        timers.advance(15min);
        QVERIFY(ended.wait(20000));
        PasswordQuestion* question = passwordQuestion(*window);
        QVERIFY(question);
        question->findChild<QPushButton*>(QStringLiteral("passwordQuestionStop"))->click();
        timers.advance(1h);
        QVERIFY(!timed.isSyncing());
    }
};

QTEST_MAIN(TestCalDavWindow)
#include "tst_caldav_window.moc"
