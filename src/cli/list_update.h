#pragma once

#include "cli_args.h"

#include "model/value.h"
#include "platform/list_lock.h"

#include <QString>

#include <functional>
#include <vector>

namespace tardigo::cli {

/// The locks a command holds on the lists it writes, each taken before the list is read (or looked
/// at) and kept until the command has committed what it saves, so that no other writer's change
/// falls in between and is lost.
class LockedLists {
public:
    /// Locks the list at path, waiting a bounded time for another writer; false after printing why.
    bool lock(const QString& path);

private:
    std::vector<ListLock> _locks;
};

/// Reads the list at path, lets `change` edit it and saves it, under the list's lock from the read
/// to the commit. `change` answers an empty string, or why it will not (printed; nothing is saved).
/// Answers the exit code.
int updateList(const QString& path, const std::function<QString(const NodePtr& root)>& change);

/// Writes a list that was not read from path, under the list's lock, refusing to replace a file
/// there unless the command was given --force. Answers the exit code.
int writeNewList(const QString& path, const NodePtr& root, const CliArgs& parsed);

} // namespace tardigo::cli
