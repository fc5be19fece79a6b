#pragma once

#include "instance/instance_request.h"
#include "instance/instance_server.h"

#include <chrono>
#include <memory>
#include <optional>

namespace tardigo {

/// How a starting Tardigo came out: another one runs and took the request (its reply); or this
/// process is now the one that runs, listening on its server; or another one runs but cannot be
/// reached, and this one must not start (`refusal` says so). None of them when there is no private
/// folder for the socket: this process then runs on its own.
struct InstanceClaim {
    std::optional<InstanceReply> forwardedReply;
    std::unique_ptr<InstanceServer> server;
    QString refusal;
};

/// How long a starting Tardigo tries to reach the one that runs (which may be starting itself).
constexpr std::chrono::milliseconds kInstanceStartWait{10'000};

/// Hands the request to the Tardigo already running in this session, or becomes that Tardigo. The
/// running one holds a lock for as long as it lives, so two started at once make one Tardigo, and
/// none starts beside one that lives but does not answer.
InstanceClaim claimOrForward(const InstanceRequest& request, const QString& socketPath,
                             std::chrono::milliseconds wait = kInstanceStartWait);

} // namespace tardigo
