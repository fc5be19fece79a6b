#pragma once

#include "cli_args.h"

#include "model/value.h"
#include "platform/list_lock.h"

#include <QString>

#include <functional>
#include <optional>

namespace tardigo::cli {

/// The lock of the list at path, taken before the list is read (or looked at) and kept until the
/// command has committed what it saves, so that no other writer's change falls in between and is
/// lost. It waits for as long as another writer holds the list; none after printing why it could not.
std::optional<ListLock> lockList(const QString& path);

/// Makes every wait of this process for a list's lock say on stderr that it waits, and for whom:
/// once the wait has lasted a moment, whenever another process comes to hold the list, and every
/// minute it goes on.
void announceLockWaits();

/// Reads the list at path, lets `change` edit it and saves it, under the list's lock from the read
/// to the commit. `change` answers an empty string, or why it will not (printed; nothing is saved).
/// Answers the exit code.
int updateList(const QString& path, const std::function<QString(const NodePtr& root)>& change);

/// Writes a list that was not read from path, under the list's lock, refusing to replace one of the
/// `inputs` the list was made from, and another file unless the command was given --force. Answers
/// the exit code.
int writeNewList(const QString& path, const NodePtr& root, const QStringList& inputs, const CliArgs& parsed);

} // namespace tardigo::cli
