#include "instance/single_instance.h"

#include "instance/instance_client.h"
#include "instance/instance_log.h"

#include <QDeadlineTimer>
#include <QThread>

namespace tardigo {

namespace {
constexpr unsigned long kRetryMsecs = 50;
}

InstanceClaim claimOrForward(const InstanceRequest& request, const QString& socketPath,
                             std::chrono::milliseconds wait) {
    InstanceClaim claim;
    if (socketPath.isEmpty())
        return claim; // the folder said why
    const QDeadlineTimer deadline(wait);
    for (;;) {
        auto server = std::make_unique<InstanceServer>();
        QString error;
        if (server->listen(socketPath, &error)) {
            claim.server = std::move(server);
            return claim;
        }
        if (!server->anotherRuns()) {
            qCWarning(lcInstance).noquote()
                << "running without a single instance: cannot listen on" << socketPath << error;
            return claim;
        }
        // Another one runs, or is starting and listens in a moment.
        claim.forwardedReply = askRunningInstance(socketPath, request);
        if (claim.forwardedReply)
            return claim;
        if (deadline.hasExpired()) {
            const std::optional<LockHolder> other = server->otherInstance();
            claim.refusal =
                QStringLiteral("Tardigo is running already%1 but does not answer; a second one would "
                               "look after the same lists. Try again, or end the one that runs if "
                               "it hangs.")
                    .arg(other ? QStringLiteral(", as %1,").arg(other->description()) : QString());
            return claim;
        }
        QThread::msleep(kRetryMsecs);
    }
}

} // namespace tardigo
