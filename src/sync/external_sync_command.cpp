#include "sync/external_sync_command.h"

#include "ical/ical_log.h"

#include <QProcess>

namespace tardigo {

namespace {
constexpr int kTimeoutMs = 10 * 60 * 1000; // a first download of a large collection takes a while
}

QString runSyncCommand(const QString& command) {
    if (command.trimmed().isEmpty())
        return {};
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    if (!process.waitForStarted())
        return QStringLiteral("The sync command “%1” could not start: %2.")
            .arg(command, process.errorString());
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("The sync command “%1” did not finish within 10 minutes and was stopped.")
            .arg(command);
    }
    const QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
    qCInfo(lcSync).noquote() << command << "said:" << said;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("The sync command “%1” failed (exit status %2): %3")
            .arg(command)
            .arg(process.exitCode())
            .arg(said.section(u'\n', -3));
    return {};
}

} // namespace tardigo
