#include "minder/todo_locator.h"

#include "model/core_log.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

namespace tardigo {

namespace {
// Far beyond any real index of list files; more is a runaway locator, not an answer.
constexpr qsizetype kMaxOutputBytes = 256 * 1024 * 1024;
constexpr int kMaxRunMsecs = 120'000;

bool isSevenBitAscii(const QByteArray& line) {
    for (const char c : line)
        if (uchar(c) > 0x7f)
            return false;
    return true;
}

// Error lines of the locator, and paths that 7-bit ASCII cannot name, fall out here.
QStringList usablePaths(const QByteArray& output) {
    QStringList paths;
    for (const QByteArray& line : output.split('\n')) {
        if (line.isEmpty() || !isSevenBitAscii(line))
            continue;
        const QString path = QString::fromLatin1(line);
        const QFileInfo info(path);
        if (info.isFile() && info.isReadable() && info.isWritable())
            paths.append(path);
    }
    return paths;
}
} // namespace

TodoLocator::TodoLocator() : TodoLocator(QStringLiteral("/usr/bin/locate"), {QStringLiteral("*.todo")}) {}

TodoLocator::TodoLocator(QString program, QStringList arguments)
    : _program(std::move(program)), _arguments(std::move(arguments)) {}

std::optional<QStringList> TodoLocator::locateTodoItems() const {
    QProcess locate;
    locate.setProcessChannelMode(QProcess::MergedChannels);
    locate.start(_program, _arguments, QIODevice::ReadOnly);
    if (!locate.waitForStarted()) {
        qCInfo(lcMinder).noquote() << "no file locator:" << _program << locate.errorString();
        return std::nullopt;
    }
    // Read while it runs, so that a long answer cannot fill the pipe and stall the locator.
    QByteArray output;
    const QDeadlineTimer deadline(kMaxRunMsecs);
    while (locate.state() != QProcess::NotRunning) {
        if (deadline.hasExpired() || output.size() > kMaxOutputBytes) {
            locate.kill();
            locate.waitForFinished();
            qCWarning(lcMinder).noquote()
                << "stopped the file locator" << _program
                << (deadline.hasExpired() ? "after it ran too long" : "after it printed too much");
            return std::nullopt;
        }
        locate.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
        output += locate.readAll();
    }
    output += locate.readAll();
    if (locate.exitStatus() != QProcess::NormalExit || locate.exitCode() != 0)
        return std::nullopt;
    return usablePaths(output);
}

} // namespace tardigo
