#include "instance/instance_client.h"

#include "instance/instance_socket.h"
#include "platform/lock_file.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace tardigo {

namespace {
constexpr int kConnectMsecs = 2'000;
}

std::optional<InstanceReply> askRunningInstance(const QString& socketPath, const InstanceRequest& request,
                                                int timeoutMsecs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kConnectMsecs))
        return std::nullopt;
    InstanceReply silent;
    silent.ok = false;
    silent.error = QStringLiteral("The running Tardigo did not answer.");
    const QDeadlineTimer deadline(timeoutMsecs);
    socket.write(request.toJson());
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return silent;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState ||
            !socket.waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    if (!socket.canReadLine())
        return silent;
    return InstanceReply::fromJson(socket.readLine()).value_or(silent);
}

bool instanceRuns(const QString& socketPath) {
    if (socketPath.isEmpty())
        return false;
    LockFile lock(instanceLockPath(socketPath));
    return lock.isOpen() && lock.tryLock() == LockFile::Attempt::HeldElsewhere;
}

} // namespace tardigo
