#pragma once

#include <QString>

namespace tardigo {

/// Runs the user's sync command (the "syncCommand" preference, e.g. "vdirsyncer sync tasks") with
/// the shell, as the user would type it, and waits for it. Answers an empty string, or why it
/// failed with the last thing it said.
QString runSyncCommand(const QString& command);

} // namespace tardigo
