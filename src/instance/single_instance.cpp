#include "instance/single_instance.h"

#include "instance/instance_client.h"
#include "instance/instance_log.h"

#include <QLockFile>

namespace tardigo {

namespace {
constexpr int kLockWaitMsecs = 10'000;
}

InstanceClaim claimOrForward(const InstanceRequest& request, const QString& socketPath,
                             const QString& lockPath) {
    QLockFile lock(lockPath);
    if (!lock.tryLock(kLockWaitMsecs))
        qCWarning(lcInstance).noquote() << "going on without the start lock" << lockPath << "after waiting for it";
    InstanceClaim claim;
    claim.forwardedReply = askRunningInstance(socketPath, request);
    if (claim.forwardedReply)
        return claim;
    auto server = std::make_unique<InstanceServer>();
    QString error;
    if (server->listen(socketPath, &error))
        claim.server = std::move(server);
    else
        qCWarning(lcInstance).noquote() << "running without a single instance: cannot listen on" << socketPath
                                        << error;
    return claim;
}

} // namespace tardigo
