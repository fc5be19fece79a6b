#include "platform/lock_holder.h"

#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <limits>
#include <unistd.h>

namespace tardigo {

namespace {

constexpr qsizetype kMaxNameLength = 64;

QByteArray procFile(qint64 pid, const char* name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

/// When the process started, in clock ticks after boot (the 22nd field of /proc/PID/stat); 0 when
/// it cannot be told.
qint64 startTimeOf(qint64 pid) {
    const QByteArray stat = procFile(pid, "stat");
    // The program's name, in parentheses, may hold spaces: the fields are counted after it.
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    constexpr int kStartTimeAfterName = 19;
    return fields.size() > kStartTimeAfterName ? fields.at(kStartTimeAfterName).toLongLong() : 0;
}

/// Printable characters only, and not too many: the text comes from a file anyone may write.
QString cleaned(const QByteArray& text) {
    QString clean;
    const QString name = QString::fromUtf8(text).left(kMaxNameLength);
    for (const QChar c : name)
        if (c.isPrint())
            clean.append(c);
    return clean;
}

} // namespace

LockHolder LockHolder::self() {
    const qint64 pid = ::getpid();
    return {pid, QSysInfo::machineHostName(), startTimeOf(pid), cleaned(procFile(pid, "comm").trimmed())};
}

QByteArray LockHolder::toText() const {
    return "pid=" + QByteArray::number(pid) + "\nhost=" + host.toUtf8() +
           "\nstart=" + QByteArray::number(startTime) + "\nprogram=" + program.toUtf8() + '\n';
}

std::optional<LockHolder> LockHolder::fromText(const QByteArray& text) {
    LockHolder holder;
    for (const QByteArray& line : text.left(kMaxTextBytes).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray name = line.left(equals), value = line.mid(equals + 1).trimmed();
        if (equals < 0)
            continue;
        if (name == "pid")
            holder.pid = value.toLongLong();
        else if (name == "host")
            holder.host = cleaned(value);
        else if (name == "start")
            holder.startTime = value.toLongLong();
        else if (name == "program")
            holder.program = cleaned(value);
    }
    if (holder.pid <= 0)
        return std::nullopt;
    return holder;
}

bool LockHolder::isOnThisMachine() const {
    return host.isEmpty() || host == QSysInfo::machineHostName();
}

bool LockHolder::isRunning() const {
    if (!isOnThisMachine())
        return true;
    if (pid > std::numeric_limits<pid_t>::max() || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
        return false;
    const qint64 started = startTimeOf(pid);
    return startTime == 0 || started == 0 || started == startTime;
}

QString LockHolder::description() const {
    QString text = QStringLiteral("process %1").arg(pid);
    if (!program.isEmpty())
        text += QStringLiteral(" (%1)").arg(program);
    if (!isOnThisMachine())
        text += QStringLiteral(" on host “%1”").arg(host);
    return text;
}

} // namespace tardigo
