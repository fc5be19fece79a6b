#include "test_support.h"

#include "model/clock.h"

#include <QProcess>

namespace tardigo::test {

FixedClock::FixedClock(const QDateTime& now) { Clock::setFixed(now); }
FixedClock::~FixedClock() { Clock::reset(); }

CliRun runCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(TARDIGO_CLI_PATH), args);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QDateTime localTime(const QString& text) {
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace tardigo::test

#include <QDir>
#include <QTemporaryDir>

namespace {
// No test may read or write the user's own preferences or sync state: point the config and state
// folders at fresh temporary ones before anything asks for them.
void isolateConfigFolder() {
    static QTemporaryDir configHome, stateHome;
    qputenv("XDG_CONFIG_HOME", QDir(configHome.path()).absolutePath().toUtf8());
    qputenv("XDG_STATE_HOME", QDir(stateHome.path()).absolutePath().toUtf8());
}
} // namespace
Q_CONSTRUCTOR_FUNCTION(isolateConfigFolder)
