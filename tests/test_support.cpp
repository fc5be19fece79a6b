#include "test_support.h"

#include "archive/list_file.h"
#include "model/clock.h"
#include "model/node_operations.h"

#include <QFile>
#include <QProcess>

namespace tardigo::test {

FixedClock::FixedClock(const QDateTime& now) {
    Clock::setFixed(now);
}
FixedClock::~FixedClock() {
    Clock::reset();
}

namespace {
CliRun finish(QProcess& process) {
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void start(QProcess& process, const QString& program, const QStringList& args, bool fullDisk) {
    if (fullDisk) // a file may not grow at all, and growing one fails instead of ending the program
        process.start(QStringLiteral("sh"),
                      QStringList{QStringLiteral("-c"),
                                  QStringLiteral("trap '' XFSZ; ulimit -f 0; exec \"$0\" \"$@\""), program} +
                          args);
    else
        process.start(program, args);
}
} // namespace

CliRun runCli(const QStringList& args) {
    return runProgram(QStringLiteral(TARDIGO_CLI_PATH), args);
}

CliRun runCliWith(const QStringList& args, const QByteArray& input, const QProcessEnvironment& environment,
                  bool fullDisk) {
    QProcess process;
    process.setProcessEnvironment(environment);
    start(process, QStringLiteral(TARDIGO_CLI_PATH), args, fullDisk);
    process.write(input);
    process.closeWriteChannel();
    return finish(process);
}

CliRun runCliOnFullDisk(const QStringList& args) {
    return runProgram(QStringLiteral(TARDIGO_CLI_PATH), args, true);
}

CliRun runProgram(const QString& program, const QStringList& args, bool fullDisk) {
    QProcess process;
    start(process, program, args, fullDisk);
    return finish(process);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeList(const QString& path, const std::vector<NodePtr>& items) {
    NodePtr root = newListRoot();
    for (const NodePtr& item : items)
        childrenOf(*root)->items.push_back(item);
    if (const QString error = writeListFile(path, root); !error.isEmpty())
        qFatal("%s", qPrintable(error));
    return path;
}

QDateTime localTime(const QString& text) {
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace tardigo::test

#include <QDir>
#include <QTemporaryDir>

#include <time.h>

namespace {
// Every test program answers the same run by hand as under CTest: before anything reads them, fix
// the time zone, the locale and the platform, and point the config, data, cache and state folders at fresh
// temporary ones so that no test reads or writes the user's own preferences, data or sync state, nor
// another test program's (Qt's test mode would share one folder in the home between them).
void isolateTestProgram() {
    qputenv("TZ", "Europe/Berlin");
    tzset();
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir configHome, stateHome, dataHome, cacheHome, runtime;
    qputenv("XDG_CONFIG_HOME", QDir(configHome.path()).absolutePath().toUtf8());
    qputenv("XDG_STATE_HOME", QDir(stateHome.path()).absolutePath().toUtf8());
    qputenv("XDG_DATA_HOME", QDir(dataHome.path()).absolutePath().toUtf8());
    qputenv("XDG_CACHE_HOME", QDir(cacheHome.path()).absolutePath().toUtf8());
    // No test reaches the user's own running Tardigo, nor another test's.
    qputenv("XDG_RUNTIME_DIR", QDir(runtime.path()).absolutePath().toUtf8());
}
} // namespace
Q_CONSTRUCTOR_FUNCTION(isolateTestProgram)
