// The desktop's search over D-Bus, on a private session bus: the shell's search provider and the
// Plasma runner called as the desktop calls them, results activated in their lists' windows, and
// Tardigo started by the bus from its service files to answer, quitting once idle.

#include "fake_notification_server.h"
#include "gui_test_support.h"
#include "local_servers.h"
#include "test_support.h"

#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "desktop_app/tardigo_application.h"
#include "desktop_search/gui/desktop_search_service.h"
#include "desktop_search/gui/plasma_runner.h"
#include "document/tardigo_document.h"
#include "instance/instance_client.h"
#include "instance/instance_request.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/outline_selection.h"
#include "platform/settings.h"
#include "window/document_main_window.h"
#include "window/outline_tree_view.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/stat.h>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const QString kResources = QStringLiteral(TARDIGO_SOURCE_DIR "/resources/search");
const QString kProviderInterface = QStringLiteral("org.gnome.Shell.SearchProvider2");
const QString kRunnerInterface = QStringLiteral("org.kde.krunner1");
// How long a call that answers at once may take, on a busy machine: one that waits on a dialog
// never answers.
constexpr int kAtOnceMsecs = 5000;

/// A list as the window saves it, which opens without repairs.
QString saveList(const QString& path, const std::vector<NodePtr>& items) {
    NodePtr root = newListRoot();
    root->set(key::beta1DateFixedUp, Value::boolean(true));
    for (const NodePtr& node : items)
        childrenOf(*root)->items.emplace_back(node);
    if (const QString error = writeListFile(path, root); !error.isEmpty())
        qFatal("%s", qPrintable(error));
    return path;
}

/// The keys of one group of a desktop file, an .ini or a service file.
QVariantMap iniGroup(const QString& path, const QString& group) {
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(group);
    QVariantMap keys;
    for (const QString& key : file.childKeys())
        keys.insert(key, file.value(key));
    return keys;
}

/// What `gdbus call` printed, or why it failed.
QString gdbusCall(const QByteArray& address, const QString& name, const QString& path, const QString& method,
                  const QStringList& args) {
    QProcess gdbus;
    gdbus.setProcessChannelMode(QProcess::MergedChannels);
    gdbus.start(QStringLiteral("gdbus"),
                QStringList{"call", "--address", QString::fromUtf8(address), "--dest", name, "--object-path",
                            path, "--method", method} +
                    args);
    if (!gdbus.waitForFinished(60'000))
        return QStringLiteral("gdbus did not end");
    return QString::fromUtf8(gdbus.readAll()).trimmed();
}

/// An object of the service under test, called as the desktop calls it. The call turns this
/// thread's event loop, where the service answers; a QDBusInterface would block it while it
/// introspects the object.
struct Remote {
    QString service, path, interface;
    QString connection = QStringLiteral("client");

    QDBusMessage call(const QString& method, const QVariantList& args = {}, int timeoutMsecs = 10'000) const {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(args);
        const QDBusMessage reply =
            QDBusConnection(connection).call(message, QDBus::BlockWithGui, timeoutMsecs);
        if (reply.type() != QDBusMessage::ReplyMessage)
            qWarning() << method << reply.errorMessage();
        return reply;
    }
    QStringList results(const QString& method, const QVariantList& args, int timeoutMsecs = 10'000) const {
        return call(method, args, timeoutMsecs).arguments().value(0).toStringList();
    }
};

/// A session bus of its own that starts Tardigo from its service files, pointed at the built program,
/// in a home of its own: the program as the desktop starts it, quitting once idle for `idleMsecs`.
struct BusStartedTardigo {
    QTemporaryDir session;
    QDir root{session.path()};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QProcess daemon;
    QByteArray address;

    /// Sets up the bus and the home; what failed, in words, or an empty string.
    QString start(int idleMsecs = 1500) {
        for (const char* folder : {"services", "config", "data", "runtime"})
            if (!root.mkpath(folder))
                return QStringLiteral("cannot make %1").arg(folder);
        QFile::setPermissions(root.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const QString& name : {kSearchProviderService, kRunnerService}) {
            QFile service(root.filePath("services/" + name + ".service"));
            if (!service.open(QIODevice::WriteOnly))
                return service.errorString();
            service.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 --search-provider\n")
                              .arg(name, QStringLiteral(TARDIGO_APP_PATH))
                              .toUtf8());
        }
        environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
        environment.insert("XDG_DATA_HOME", root.filePath("data"));
        environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        environment.insert("HOME", session.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TARDIGO_SEARCH_IDLE_MSECS", QString::number(idleMsecs));
        // What the bus starts talks to this bus, not to the one of the other tests.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root.filePath("bus"));

        QFile config(root.filePath("bus.conf"));
        if (!config.open(QIODevice::WriteOnly))
            return config.errorString();
        config.write(
            QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                           "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                           "<busconfig><type>session</type><listen>unix:path=%1</listen>"
                           "<servicedir>%2</servicedir><policy context=\"default\">"
                           "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                           "<allow own=\"*\"/></policy></busconfig>\n")
                .arg(root.filePath("bus"), root.filePath("services"))
                .toUtf8());
        config.close();
        daemon.setProcessEnvironment(environment);
        daemon.start("dbus-daemon", {"--config-file=" + config.fileName(), "--nofork", "--print-address=1"});
        if (!daemon.waitForReadyRead(10'000))
            return QStringLiteral("dbus-daemon did not start");
        address = daemon.readLine().trimmed();
        return QString();
    }
    /// Makes the lists the ones the minder watches, as the user would with tardigo-cli.
    bool watch(const QStringList& lists) const {
        return runCliWith(QStringList{"config", "tardigoMinderDocs", lists.join(", ")}, {}, environment)
                   .exitCode == 0;
    }
    /// Ends the Tardigo the bus started, if it runs, as a session that ends does, and waits until
    /// it has.
    bool endTardigo() {
        QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(address), "ending");
        const uint pid = bus.interface()->servicePid(kRunnerService);
        const bool ended =
            pid > 0 && ::kill(pid_t(pid), SIGTERM) == 0 &&
            QTest::qWaitFor([&] { return !bus.interface()->isServiceRegistered(kRunnerService).value(); },
                            10'000);
        QDBusConnection::disconnectFromBus("ending");
        return ended;
    }
    ~BusStartedTardigo() {
        endTardigo();
        daemon.terminate();
        daemon.waitForFinished();
    }
};

/// What the kernel holds of the process in memory, in MB; -1 once it has ended.
qint64 residentMegabytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
    return -1;
}

} // namespace

class TestDesktopSearchBus : public QObject {
    Q_OBJECT
    QTemporaryDir _files;
    PrivateKeyring _bus;
    std::optional<FakeNotificationServer> _notifications;

    QString path(const QString& name) const { return _files.filePath(name); }

private slots:
    void initTestCase() {
        setUpGuiTest();
        QVERIFY(_files.isValid());
        TARDIGO_NEED(_bus.start(false));
        // Tardigo's own calls, its notifications among them, go to this bus.
        qputenv("DBUS_SESSION_BUS_ADDRESS", _bus.address());
        _notifications.emplace(_bus.address());
        PlasmaRunner::registerTypes();
        qDBusRegisterMetaType<QList<QVariantMap>>();
    }
    void cleanupTestCase() { _notifications.reset(); }

    void bothInterfacesFindAndShowItemsOfOpenAndWatchedLists() {
        const QString open = saveList(path("open.todo"), {item("Dentist bill"), item("Groceries")});
        const QString watched =
            saveList(path("watched.todo"), {item("Health", 0, {item("Dentist appointment")})});
        Settings::instance().setMinderLists({watched});
        TardigoApplication application(nullptr, path("stickies.json"), TodoLocator("/bin/false", {}));
        DocumentMainWindow* openWindow = application.controller().openFile(open);
        DesktopSearchService service(application);
        QVERIFY(service.publish(QDBusConnection::sessionBus()));

        QDBusConnection client = QDBusConnection::connectToBus(QString::fromUtf8(_bus.address()), "client");
        QVERIFY(client.isConnected());
        const Remote provider{kSearchProviderService, kSearchProviderPath, kProviderInterface};
        const Remote runner{kRunnerService, kRunnerPath, kRunnerInterface};

        // The open list first, then the watched one; a longer search narrows down.
        const QStringList found = provider.results("GetInitialResultSet", {QStringList{"DENTIST"}});
        QCOMPARE(found.size(), 2);
        QCOMPARE(provider.results("GetSubsearchResultSet", {found, QStringList{"dentist", "appoint"}}),
                 found.mid(1));
        QDBusMessage reply = provider.call("GetResultMetas", {found + QStringList{"uid:gone:" + open}});
        QCOMPARE(reply.signature(), QStringLiteral("aa{sv}"));
        const auto metas = qdbus_cast<QList<QVariantMap>>(reply.arguments().value(0));
        QCOMPARE(metas.size(), 2);
        QCOMPARE(metas[0].value("id").toString(), found[0]);
        QCOMPARE(metas[0].value("name").toString(), QStringLiteral("Dentist bill"));
        QCOMPARE(metas[0].value("description").toString(), QStringLiteral("open.todo"));
        QCOMPARE(metas[1].value("name").toString(), QStringLiteral("Dentist appointment"));
        QCOMPARE(metas[1].value("description").toString(), QStringLiteral("watched.todo / Health"));

        // The watched list changed meanwhile: its window opens, and a notification says the item is
        // gone, rather than another item standing in its place being selected.
        saveList(watched, {item("Health", 0, {item("Dentist invoice"), item("Dentist appointment")})});
        provider.call("ActivateResult", {found[1], QStringList{"dentist"}, 0u});
        QCOMPARE(application.controller().windows().size(), size_t(2));
        DocumentMainWindow* watchedWindow = application.controller().windowForFileName(watched);
        QVERIFY(watchedWindow);
        QVERIFY(watchedWindow->document().selection().selectedItems().empty());
        QTRY_COMPARE(_notifications->sent().size(), 1);
        const SentNotification said = _notifications->sent()[0];
        QVERIFY2((said.summary + ": " + said.body).contains("no longer in the list \u201cwatched.todo\u201d"),
                 qPrintable(said.body));

        // Searched again, it is found in its open window and selected there, its parent opened.
        const QStringList again = provider.results("GetInitialResultSet", {QStringList{"appointment"}});
        QCOMPARE(again.size(), 1);
        provider.call("ActivateResult", {again[0], QStringList{"appointment"}, 0u});
        QCOMPARE(application.controller().windows().size(), size_t(2));
        const std::vector<NodePtr> selected = watchedWindow->document().selection().selectedItems();
        QCOMPARE(selected.size(), size_t(1));
        QCOMPARE(*selected[0]->value(key::name).asString(), QStringLiteral("Dentist appointment"));
        QVERIFY(watchedWindow->outline().isItemExpanded(
            childAt(*childrenOf(*watchedWindow->document().data()), 0).get()));

        // The runner: matches with their subtext, an exact name first in relevance, and Run shows one.
        reply = runner.call("Match", {QStringLiteral("dentist bill")});
        QCOMPARE(reply.signature(), QStringLiteral("a(sssida{sv})"));
        const auto matches = qdbus_cast<RunnerMatches>(reply.arguments().value(0));
        QCOMPARE(matches.size(), 1);
        QCOMPARE(matches[0].text, QStringLiteral("Dentist bill"));
        QCOMPARE(matches[0].type, int(RunnerMatchType::Exact));
        QCOMPARE(matches[0].properties.value("subtext").toString(), QStringLiteral("open.todo"));
        QCOMPARE(runner.call("Actions").signature(), QStringLiteral("a(sss)"));
        runner.call("Run", {matches[0].id, QString()});
        const std::vector<NodePtr> shown = openWindow->document().selection().selectedItems();
        QCOMPARE(shown.size(), size_t(1));
        QCOMPARE(*shown[0]->value(key::name).asString(), QStringLiteral("Dentist bill"));

        // What is none of ours opens nothing and says nothing.
        for (const QString& id : {QStringLiteral("nonsense"), QStringLiteral("file://") + open})
            runner.call("Run", {id, QString()});
        QCOMPARE(application.controller().windows().size(), size_t(2));
        QCOMPARE(_notifications->sent().size(), 1);
        QDBusConnection::disconnectFromBus("client");
    }

    void startedForTheSearchItShowsAWindowWhenTheUserStartsIt() {
        const QString watched = saveList(path("later.todo"), {item("Taxes")});
        Settings::instance().setMinderLists({watched});
        Settings::instance().setLastDocumentSet({});
        TardigoApplication application(nullptr, path("search-only.json"), TodoLocator("/bin/false", {}),
                                       ApplicationStart::SearchOnly);
        DesktopSearchService service(application);
        QVERIFY(service.publish(QDBusConnection::sessionBus()));
        QCOMPARE(service.search({"taxes"}).size(), 1);
        QVERIFY(application.controller().windows().empty());
        QVERIFY(application.isSearchOnly());
        InstanceRequest start;
        start.command = InstanceRequest::Command::Activate;
        QVERIFY(application.handle(start).ok);
        QTRY_COMPARE(application.controller().windows().size(), size_t(1));
        QVERIFY(!application.isSearchOnly());
    }

    void callsFromTheBusAnswerAtOnceAndShowOnlyListsTheSearchOffers() {
        BusStartedTardigo started;
        QCOMPARE(started.start(), QString());
        const QString list = saveList(started.root.filePath("errands.todo"), {item("Renew passport")});
        const QString elsewhere = saveList(started.root.filePath("elsewhere.todo"), {item("Renew passport")});
        const QString pipe = started.root.filePath("pipe.todo");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString folder = started.root.filePath("folder.todo");
        QVERIFY(started.root.mkdir("folder.todo"));
        const QString huge = started.root.filePath("huge.todo");
        QFile sparse(huge);
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(64) << 30));
        sparse.close();
        // Watched, each is a list the search would read, were it one.
        QVERIFY(started.watch({list, pipe, folder, QStringLiteral("/dev/zero"), huge}));
        FakeNotificationServer notifications(started.address);
        const QString connection = QStringLiteral("activations");
        QDBusConnection::connectToBus(QString::fromUtf8(started.address), connection);
        const Remote provider{kSearchProviderService, kSearchProviderPath, kProviderInterface, connection};
        const Remote runner{kRunnerService, kRunnerPath, kRunnerInterface, connection};
        // The first call starts Tardigo, which may take a while on a busy machine.
        const QStringList offered =
            provider.results("GetInitialResultSet", {QStringList{"passport"}}, 60'000);
        QCOMPARE(offered.size(), 1);
        const QString socket = started.root.filePath("runtime/tardigo-instance");
        InstanceRequest openLists;
        openLists.command = InstanceRequest::Command::OpenListPaths;

        // Ids no search offered, five times over, to both interfaces: each call answers at once, and
        // no window opens; the one regular file among them is told of, each telling in place of the
        // one before.
        for (int round = 0; round < 5; ++round) {
            for (const QString& path : {pipe, folder, QStringLiteral("/dev/zero"), huge, elsewhere}) {
                const QString id = QStringLiteral("uid:none:") + path;
                QCOMPARE(provider.call("ActivateResult", {id, QStringList{"x"}, 0u}, kAtOnceMsecs).type(),
                         QDBusMessage::ReplyMessage);
                QCOMPARE(runner.call("Run", {id, QString()}, kAtOnceMsecs).type(),
                         QDBusMessage::ReplyMessage);
            }
        }
        const std::optional<InstanceReply> none = askRunningInstance(socket, openLists);
        QVERIFY(none && none->ok);
        QCOMPARE(none->files, QStringList());
        QTRY_VERIFY(!notifications.sent().isEmpty());
        const QList<SentNotification> told = notifications.sent();
        for (qsizetype i = 0; i < told.size(); ++i) {
            QCOMPARE(told[i].summary, QStringLiteral("List not opened"));
            QVERIFY2(told[i].body.contains("\u201chuge.todo\u201d is not a Tardigo list"),
                     qPrintable(told[i].body));
            QCOMPARE(told[i].replacesId, i == 0 ? 0u : told[i - 1].id);
        }

        // The result it offered opens in its window, once the call has been answered.
        QCOMPARE(
            provider.call("ActivateResult", {offered[0], QStringList{"passport"}, 0u}, kAtOnceMsecs).type(),
            QDBusMessage::ReplyMessage);
        QTRY_COMPARE(askRunningInstance(socket, openLists).value_or(InstanceReply{}).files,
                     QStringList{list});
        QDBusConnection::disconnectFromBus(connection);
        QVERIFY(started.endTardigo());
    }

    void aHugeQueryGivesBackTheMemoryItTook() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer keeps freed memory aside");
#endif
        BusStartedTardigo started;
        QCOMPARE(started.start(60'000), QString());
        const QString list = saveList(started.root.filePath("errands.todo"), {item("Renew passport")});
        QVERIFY(started.watch({list}));
        const QString connection = QStringLiteral("memory");
        QDBusConnection::connectToBus(QString::fromUtf8(started.address), connection);
        const Remote provider{kSearchProviderService, kSearchProviderPath, kProviderInterface, connection};
        const Remote runner{kRunnerService, kRunnerPath, kRunnerInterface, connection};
        QCOMPARE(provider.results("GetInitialResultSet", {QStringList{"passport"}}, 60'000).size(), 1);
        const uint pid = QDBusConnection(connection).interface()->servicePid(kSearchProviderService);
        const qint64 before = residentMegabytes(pid);
        QVERIFY(before > 0);

        // 8 MB of words to each interface, as no one types them; then the list changes, and is read
        // again while their memory lies free.
        QStringList words;
        for (int i = 0; i < 1'000'000; ++i)
            words << QStringLiteral("w%1").arg(i, 7, 10, QLatin1Char('0'));
        QCOMPARE(provider.results("GetInitialResultSet", {words}, 60'000), QStringList());
        words.clear();
        QCOMPARE(runner.call("Match", {QStringLiteral("a ").repeated(4'000'000)}, 60'000).type(),
                 QDBusMessage::ReplyMessage);
        saveList(list, {item("Renew passport"), item("Passport photos")});
        QCOMPARE(provider.results("GetInitialResultSet", {QStringList{"passport"}}).size(), 2);
        QTRY_VERIFY2_WITH_TIMEOUT(
            residentMegabytes(pid) < before + 50,
            qPrintable(QStringLiteral("%1 MB before, %2 MB after").arg(before).arg(residentMegabytes(pid))),
            5000);
        QVERIFY(residentMegabytes(pid) > 0); // still running
        QDBusConnection::disconnectFromBus(connection);
    }

    void theBusStartsTardigoFromItsServiceFilesAndItQuitsWhenIdle() {
        // The files as installed name the same bus names and objects as the program publishes.
        const auto provider =
            iniGroup(kResources + "/io.tardigo.Tardigo.search-provider.ini", "Shell Search Provider");
        QCOMPARE(provider.value("BusName").toString(), kSearchProviderService);
        QCOMPARE(provider.value("ObjectPath").toString(), kSearchProviderPath);
        QCOMPARE(provider.value("Version").toString(), QStringLiteral("2"));
        QCOMPARE(provider.value("DesktopId").toString(), QStringLiteral("tardigo.desktop"));
        QVERIFY(QFile::exists(QStringLiteral(TARDIGO_SOURCE_DIR "/resources/") +
                              provider.value("DesktopId").toString()));
        const auto runner = iniGroup(kResources + "/tardigo.desktop", "Desktop Entry");
        QCOMPARE(runner.value("X-Plasma-API").toString(), QStringLiteral("DBus"));
        QCOMPARE(runner.value("X-Plasma-DBusRunner-Service").toString(), kRunnerService);
        QCOMPARE(runner.value("X-Plasma-DBusRunner-Path").toString(), kRunnerPath);

        for (const QString& name : {kSearchProviderService, kRunnerService}) {
            const auto service = iniGroup(kResources + "/" + name + ".service", "D-BUS Service");
            QCOMPARE(service.value("Name").toString(), name);
            QCOMPARE(service.value("Exec").toString(), QStringLiteral("/usr/bin/tardigo --search-provider"));
        }

        // A bus of its own, which starts Tardigo from the service files, pointed at the built program.
        BusStartedTardigo started;
        QCOMPARE(started.start(), QString());
        const QString list = saveList(started.root.filePath("errands.todo"), {item("Renew passport")});
        QVERIFY(started.watch({list}));
        const QByteArray& address = started.address;

        const QString results = gdbusCall(address, kSearchProviderService, kSearchProviderPath,
                                          kProviderInterface + ".GetInitialResultSet", {"['passport']"});
        QVERIFY2(results.startsWith("([") && results.contains(list), qPrintable(results));
        const QString matches =
            gdbusCall(address, kRunnerService, kRunnerPath, kRunnerInterface + ".Match", {"renew passport"});
        QVERIFY2(matches.contains("'Renew passport'") && matches.contains("'subtext': <'errands.todo'>"),
                 qPrintable(matches));
        QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(address), "started");
        const QString owner = bus.interface()->serviceOwner(kSearchProviderService);
        QVERIFY(!owner.isEmpty());
        QCOMPARE(bus.interface()->serviceOwner(kRunnerService).value(), owner); // one Tardigo answers both
        QTRY_VERIFY_WITH_TIMEOUT(!bus.interface()->isServiceRegistered(kSearchProviderService).value(),
                                 20'000);
        QVERIFY(!bus.interface()->isServiceRegistered(kRunnerService).value());
        QDBusConnection::disconnectFromBus("started");
    }
};

QTEST_MAIN(TestDesktopSearchBus)
#include "tst_desktop_search_bus.moc"
