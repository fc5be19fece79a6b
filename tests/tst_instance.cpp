#include "document/windowless_minder_host.h"
#include "document_fixture.h"
#include "instance/instance_client.h"
#include "instance/instance_server.h"
#include "instance/instance_socket.h"
#include "minder/recording_error_reporter.h"
#include "minder/tardigo_minder.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

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
        UserDefaults tool;
        tool.useFile(qEnvironmentVariable("XDG_CONFIG_HOME") + "/tardigo/preferences.ini");
        tool.setObject(pref::userShortDateFormat, "yyyy-MM-dd");
        tool.setObject(pref::userTimeFormat, "HH:mm");
        QVERIFY(tool.synchronize());
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
        QVERIFY(InstanceRequest::fromJson("{\"command\":\"explode\"}") == std::nullopt);
        QVERIFY(InstanceReply::fromJson("not json") == std::nullopt);
    }

    void theTimerLeavesTheListsOpenInTardigoToIt() {
        DocumentTestStart start;
        const QString open =
            writeList("open.todo", {makeItem("pay rent", {{key::due, "2024-03-01 09:00:00 +0100"}})});
        const QString closed =
            writeList("closed.todo", {makeItem("call Anna", {{key::due, "2024-03-02 09:00:00 +0100"}})});
        UserDefaults::standard().setStringArray(pref::tardigoMinderDocs, {});

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
