#pragma once

#include "instance/instance_request.h"
#include "instance/instance_server.h"

#include <memory>
#include <optional>

namespace tardigo {

/// How a starting Tardigo came out: either another one runs and took the request (its reply), or
/// this process is now the one that runs, listening on its server. Neither, when the socket cannot
/// be made: this process then runs on its own.
struct InstanceClaim {
    std::optional<InstanceReply> forwardedReply;
    std::unique_ptr<InstanceServer> server;
};

/// Hands the request to the Tardigo already running in this session, or becomes that Tardigo.
/// Starting processes take turns under a lock, so that two started at once make one Tardigo.
InstanceClaim claimOrForward(const InstanceRequest& request, const QString& socketPath,
                             const QString& lockPath);

} // namespace tardigo
