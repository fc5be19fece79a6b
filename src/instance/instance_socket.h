#pragma once

#include <QString>

namespace tardigo {

/// The private folder of this user's session where the running Tardigo's socket lies:
/// $XDG_RUNTIME_DIR when it is a folder of this user's that no one else may enter, as it should be;
/// else a folder of Tardigo's own in the temporary folder ("tardigo-UID"), made so and checked.
/// Empty when neither is private: a socket elsewhere could be reached or stood in for by others.
QString instanceFolder();
/// The socket on which the running Tardigo listens, in the instance folder, so one per user
/// session; empty without that folder.
QString instanceSocketPath();
/// The lock the running Tardigo holds beside its socket for as long as it runs.
QString instanceLockPath(const QString& socketPath);

} // namespace tardigo
