#pragma once

#include <QString>

namespace tardigo {

/// The socket on which the running Tardigo listens: in the user's runtime folder, so one per
/// user session.
QString instanceSocketPath();
/// The lock that lets one starting process at a time decide whether it becomes the running one.
QString instanceLockPath();

} // namespace tardigo
