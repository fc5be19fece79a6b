#pragma once

#include "instance/instance_request.h"

#include <optional>

namespace tardigo {

/// Asks the Tardigo listening on the socket path and waits for its answer. None when no Tardigo
/// listens there; a reply that is not ok when one listens but does not answer in time.
std::optional<InstanceReply> askRunningInstance(const QString& socketPath, const InstanceRequest& request,
                                                int timeoutMsecs = 10'000);
/// Whether a Tardigo runs with its socket at that path, answering or not: it holds the lock beside it.
bool instanceRuns(const QString& socketPath);

} // namespace tardigo
