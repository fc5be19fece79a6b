#include "document/windowless_minder_host.h"
#include "document_fixture.h"
#include "instance/instance_client.h"
#include "instance/instance_server.h"
#include "instance/instance_socket.h"
#include "instance/single_instance.h"
#include "minder/recording_error_reporter.h"
#include "minder/tardigo_minder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tardigo;
using namespace tardigo::test;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestInstance : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;
    QString _socket;

    QString writeList(const QString& name, std::initializer_list<NodePtr> items) {
        NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        for (const NodePtr& item : items)
            appendChild(*root, item);
        const QString path = _dir.filePath(name);
        if (const QString error = writeListFile(path, root); !error.isEmpty())
            qFatal("%s", qPrintable(error));
        return path;
    }

    /// tardigo-cli remind --apply at a fixed time, run as the systemd timer runs it; the event loop
    /// goes on meanwhile, so that the server here can answer.
    CliRun remindApply(const QStringList& lists) {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", _dir.path());
        cli.setProcessEnvironment(environment);
        cli.start(TARDIGO_CLI_PATH,
                  QStringList{"remind", "--apply", "--now", "2024-03-10 12:00:00 +0100"} + lists);
        if (!QTest::qWaitFor([&] { return cli.state() == QProcess::NotRunning; }, 30000))
            return {};
        return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
                QString::fromUtf8(cli.readAllStandardOutput()),
                QString::fromUtf8(cli.readAllStandardError())};
    }

private slots:
    void initTestCase() {
        // Notices show local times, here and in the command-line tool started from here.
        qputenv("TZ", "Europe/Berlin");
        tzset();
        qputenv("XDG_RUNTIME_DIR", _dir.path().toUtf8());
        _socket = instanceSocketPath();
        QCOMPARE(_socket, _dir.filePath("tardigo-instance"));
        // The command-line tool's preferences: dates read the same in any locale.
        Settings tool;
        tool.useFile(qEnvironmentVariable("XDG_CONFIG_HOME") + "/tardigo/preferences.ini");
        tool.setShortDateFormat("yyyy-MM-dd");
        tool.setTimeFormat("HH:mm");
        QVERIFY(tool.sync());
    }

    void requestsTravelToTheRunningInstanceAndBack() {
        QCOMPARE(askRunningInstance(_socket, {}), std::nullopt); // none runs
        InstanceServer server;
        QString error;
        QVERIFY2(server.listen(_socket, &error), qPrintable(error));
        std::vector<InstanceRequest> asked;
        server.setHandler([&](const InstanceRequest& request) {
            asked.push_back(request);
            InstanceReply reply;
            reply.ok = request.command != InstanceRequest::Command::NewItem;
            reply.error = reply.ok ? QString() : QStringLiteral("There is no open list.");
            reply.files = {QStringLiteral("/home/u/ä, b.todo")};
            return reply;
        });
        // The client waits in its own thread of control, as a second process does.
        std::optional<InstanceReply> reply;
        InstanceRequest request;
        request.command = InstanceRequest::Command::NewItem;
        request.text = QStringLiteral("Buy milk\nand \"bread\"");
        QThread* client = QThread::create([&] { reply = askRunningInstance(_socket, request); });
        client->start();
        QVERIFY(QTest::qWaitFor([&] { return client->isFinished(); }, 10000));
        delete client;
        QVERIFY(reply && !reply->ok);
        QCOMPARE(reply->error, QStringLiteral("There is no open list."));
        QCOMPARE(reply->files, QStringList{"/home/u/ä, b.todo"});
        QCOMPARE(asked.size(), size_t(1));
        QCOMPARE(asked.front().text, request.text);
        QVERIFY(InstanceReply::fromJson("not json") == std::nullopt);
    }

    void requestsOfTheWrongShapeAreRefusedWithTheReason() {
        InstanceServer server;
        QString error;
        QVERIFY2(server.listen(_socket, &error), qPrintable(error));
        int handled = 0;
        server.setHandler([&](const InstanceRequest&) {
            ++handled;
            return InstanceReply{};
        });
        // Each line as another process might send it, and what the refusal names.
        const std::pair<QByteArray, QString> malformed[] = {
            {"not json", "not a JSON object"},
            {"{\"command\":\"explode\"}", "“command”"},
            {"{\"command\":7}", "“command”"},
            {"{\"command\":\"new-item\",\"text\":123}", "“text” is not a text"},
            {"{\"command\":\"new-item\",\"text\":null}", "“text” is not a text"},
            {"{\"command\":\"open\",\"files\":\"/home/u/a.todo\"}", "“files” is not a list"},
            {"{\"command\":\"open\",\"files\":[\"/home/u/a.todo\",4]}", "not an absolute path"},
            {"{\"command\":\"open\",\"files\":[\"a.todo\"]}", "not an absolute path"},
        };
        for (const auto& [line, reason] : malformed) {
            std::optional<InstanceReply> reply;
            std::unique_ptr<QThread> client(QThread::create([&, line = line] {
                QLocalSocket socket;
                socket.connectToServer(_socket);
                if (!socket.waitForConnected(2000))
                    return;
                socket.write(line + '\n');
                while (!socket.canReadLine() && socket.waitForReadyRead(5000)) {
                }
                reply = InstanceReply::fromJson(socket.readLine());
            }));
            client->start();
            QVERIFY(QTest::qWaitFor([&] { return client->isFinished(); }, 10000));
            QVERIFY2(reply && !reply->ok, line.constData());
            QVERIFY2(reply->error.startsWith("Tardigo did not understand the request: ") &&
                         reply->error.contains(reason),
                     qPrintable(reply->error));
        }
        QCOMPARE(handled, 0);

        // Fields left out are empty.
        QString why;
        const auto request = InstanceRequest::fromJson("{\"command\":\"new-item\"}", &why);
        QVERIFY(request && request->text.isEmpty() && request->files.isEmpty());
    }

    void idleConnectionsMakeRoomForARealStart() {
        InstanceServer server;
        QString error;
        QVERIFY2(server.listen(_socket, &error), qPrintable(error));
        // Far longer than the start waits: only making room lets it in.
        server.setIdleTimeout(std::chrono::minutes(5));
        server.setHandler([](const InstanceRequest&) { return InstanceReply{}; });
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < 200; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(_socket);
            QCoreApplication::processEvents();
        }
        const auto closed = [&] {
            return std::count_if(idle.begin(), idle.end(), [](const std::unique_ptr<QLocalSocket>& socket) {
                return socket->state() == QLocalSocket::UnconnectedState;
            });
        };
        QTRY_COMPARE(closed(), qsizetype(200 - InstanceServer::kMaxConnections));
        // The newest are kept, and the oldest of them is let go for the start.
        QCOMPARE(idle.back()->state(), QLocalSocket::ConnectedState);
        std::optional<InstanceReply> reply;
        std::unique_ptr<QThread> start(
            QThread::create([&] { reply = askRunningInstance(_socket, {}, 3000); }));
        start->start();
        QVERIFY(QTest::qWaitFor([&] { return start->isFinished(); }, 10000));
        QVERIFY(reply && reply->ok);
        QTRY_COMPARE(closed(), qsizetype(200 - InstanceServer::kMaxConnections + 1));
    }

    void theServerOutlivesConnectionsThatSayNothingOrComeWithoutDescriptors() {
        InstanceServer server;
        QString error;
        QVERIFY2(server.listen(_socket, &error), qPrintable(error));
        server.setIdleTimeout(std::chrono::milliseconds(200));
        server.setHandler([](const InstanceRequest&) { return InstanceReply{}; });
        const auto answered = [&] {
            std::optional<InstanceReply> reply;
            std::unique_ptr<QThread> client(
                QThread::create([&] { reply = askRunningInstance(_socket, {}); }));
            client->start();
            return QTest::qWaitFor([&] { return client->isFinished(); }, 15000) && reply && reply->ok;
        };

        // A connection that never sends its request is closed, not kept for good.
        QLocalSocket idle;
        idle.connectToServer(_socket);
        QVERIFY(idle.waitForConnected(2000));
        QTRY_COMPARE_WITH_TIMEOUT(idle.state(), QLocalSocket::UnconnectedState, 5000);

        // With every file descriptor taken, a connection is refused, and the server listens on.
        rlimit limits{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limits), 0);
        const rlimit original = limits;
        limits.rlim_cur = std::min<rlim_t>(limits.rlim_cur, 512);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limits), 0);
        std::vector<int> filler;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            filler.push_back(fd);
        for (int i = 0; i < 3; ++i) {
            ::close(filler.back());
            filler.pop_back();
        }
        QLocalSocket first, second;
        first.connectToServer(_socket);
        QVERIFY(first.waitForConnected(2000));
        QTest::qWait(100); // the server takes it, with the last descriptor but one
        second.connectToServer(_socket);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QLocalSocket::UnconnectedState, 5000);
        for (const int fd : filler)
            ::close(fd);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &original), 0);
        QVERIFY(QFile::exists(_socket));
        QVERIFY(answered());
    }

    void noSecondTardigoStartsBesideOneThatLives() {
        const QString socket = _dir.filePath("claimed");
        InstanceRequest request;
        request.command = InstanceRequest::Command::OpenListPaths;
        {
            // None runs, though one that is gone left its socket file: this one becomes it.
            QFile left(socket);
            QVERIFY(left.open(QIODevice::WriteOnly));
            left.close();
            InstanceClaim claim = claimOrForward(request, socket, std::chrono::milliseconds(300));
            QVERIFY(claim.server && !claim.forwardedReply && claim.refusal.isEmpty());
            QFileInfo file(socket);
            QVERIFY(file.exists() && !file.isFile()); // a socket now
            QCOMPARE(file.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

            // One runs but cannot be reached (it lost its socket file): no second one starts.
            QVERIFY(QFile::remove(socket));
            QVERIFY(instanceRuns(socket));
            const InstanceClaim second = claimOrForward(request, socket, std::chrono::milliseconds(300));
            QVERIFY(!second.server && !second.forwardedReply);
            QVERIFY2(second.refusal.startsWith(
                         QStringLiteral("Tardigo is running already, as process %1 (tst_instance), "
                                        "but does not answer")
                             .arg(QCoreApplication::applicationPid())),
                     qPrintable(second.refusal));
        }
        QVERIFY(!instanceRuns(socket));
        QVERIFY(claimOrForward(request, socket, std::chrono::milliseconds(300)).server);

        // Nor does the reminder timer save a list that such a Tardigo may have open with changes.
        DocumentTestStart start;
        InstanceServer unreachable;
        QString error;
        QVERIFY(unreachable.listen(_socket, &error));
        QVERIFY(QFile::remove(_socket));
        const QString list =
            writeList("unasked.todo", {makeItem("pay rent", {{key::due, "2024-03-01 09:00:00 +0100"}})});
        const QByteArray before = bytesOf(list);
        const CliRun run = remindApply({list});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Tardigo is running but cannot be reached"), qPrintable(run.err));
        QCOMPARE(bytesOf(list), before);
    }

    void theSocketLiesInAPrivateFolderEvenWithoutARuntimeFolder() {
        QTemporaryDir temporary;
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", temporary.path().toUtf8());
        const QString own = temporary.filePath(QStringLiteral("tardigo-%1").arg(::geteuid()));
        const auto privateMode = [](const QString& folder) {
            struct stat info {};
            return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
        };

        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(instanceSocketPath(), own + "/tardigo-instance");
        QCOMPARE(privateMode(own), 0700u);
        // A runtime folder others may enter is none to use either.
        QVERIFY(QDir(temporary.path()).mkdir("open"));
        QVERIFY(QFile::setPermissions(temporary.filePath("open"), QFile::Permissions(0x7755)));
        qputenv("XDG_RUNTIME_DIR", temporary.filePath("open").toUtf8());
        QCOMPARE(instanceFolder(), own);
        // A folder of that name that others may enter, or a link, is not used: no socket then.
        QVERIFY(QFile::setPermissions(own, QFile::Permissions(0x7755)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not a private folder"));
        QCOMPARE(instanceSocketPath(), QString());
        QVERIFY(QDir(own).removeRecursively());
        QVERIFY(QFile::link(temporary.filePath("open"), own));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not a private folder"));
        QCOMPARE(instanceFolder(), QString());
        InstanceRequest request;
        QVERIFY(!claimOrForward(request, instanceSocketPath()).server); // runs on its own

        qputenv("XDG_RUNTIME_DIR", runtime);
        tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);
    }

    void theTimerLeavesTheListsOpenInTardigoToIt() {
        DocumentTestStart start;
        const QString open =
            writeList("open.todo", {makeItem("pay rent", {{key::due, "2024-03-01 09:00:00 +0100"}})});
        const QString closed =
            writeList("closed.todo", {makeItem("call Anna", {{key::due, "2024-03-02 09:00:00 +0100"}})});
        Settings::instance().setMinderLists({});

        // Tardigo has open.todo open, with a change not saved yet.
        WindowlessMinderHost tardigo;
        TardigoDocument& document = *tardigo.openDocumentWithoutDisplay(open, readListFile(open));
        document.itemCommands().newItemWithName(QStringLiteral("added in Tardigo"));
        OpenList::endEvent();
        QVERIFY(document.isDocumentEdited());
        InstanceServer server;
        QString error;
        QVERIFY(server.listen(_socket, &error));
        server.setHandler([&](const InstanceRequest&) {
            InstanceReply reply;
            reply.files = {document.fileName()};
            return reply;
        });

        const QByteArray before = bytesOf(open);
        const CliRun first = remindApply({open, closed});
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.out, QString(closed + "\tcall Anna\tdue\tPast date due: 2024-03-02 09:00\n"));
        QVERIFY2(first.err.contains("open.todo is open in Tardigo"), qPrintable(first.err));
        QCOMPARE(bytesOf(open), before);

        // Tardigo's own minder announces it, once; its save keeps the change and the stamp.
        RecordingErrorReporter reporter;
        for (int run = 0; run < 2; ++run)
            TardigoMinder(tardigo, NoticeChannels{}, reporter, TodoLocator("/bin/false", {}))
                .scanNode(document.data(), document);
        QCOMPARE(tardigo.notices().size(), size_t(1));
        QVERIFY(document.writeToFile(open, &error));
        QCOMPARE(remindApply({open, closed}).out, QString());

        // Once Tardigo has closed it, the timer looks after it, and has nothing to repeat.
        server.setHandler([](const InstanceRequest&) { return InstanceReply{}; });
        const CliRun after = remindApply({open});
        QCOMPARE(after.exitCode, 0);
        QCOMPARE(after.out, QString());
        QCOMPARE(childNames(*readListFile(open).root), (QStringList{"pay rent", "added in Tardigo"}));
    }
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
