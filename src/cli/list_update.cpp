#include "list_update.h"

#include "cli_output.h"

#include "archive/list_file.h"

namespace tardigo::cli {

bool LockedLists::lock(const QString& path) {
    ListLock lock(path);
    if (!lock.isLocked()) {
        fail(lock.error());
        return false;
    }
    _locks.push_back(std::move(lock));
    return true;
}

int updateList(const QString& path, const std::function<QString(const NodePtr& root)>& change) {
    LockedLists locks;
    if (!locks.lock(path))
        return Failure;
    const ListLoad load = readListFile(path);
    if (!load.ok())
        return fail(load.error);
    if (const QString refusal = change(load.root); !refusal.isEmpty())
        return fail(refusal);
    const QString error = writeListFile(path, load.root);
    return error.isEmpty() ? Success : fail(error);
}

int writeNewList(const QString& path, const NodePtr& root, const CliArgs& parsed) {
    LockedLists locks;
    if (!locks.lock(path))
        return Failure;
    if (refusesToReplace(path, parsed))
        return Failure;
    const QString error = writeListFile(path, root);
    return error.isEmpty() ? Success : fail(error);
}

} // namespace tardigo::cli
