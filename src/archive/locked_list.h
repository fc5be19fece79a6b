#pragma once

#include "model/value.h"
#include "platform/list_lock.h"

#include <QString>

#include <optional>

namespace tardigo {

/// A list file held for one change: its lock is taken before it is read and kept until the object
/// goes, so that no other writer's change falls between the read and the save.
class LockedList {
public:
    /// Locks and reads the list at path; when the file does not exist and `createIfMissing`, a new,
    /// empty list that save() will create, which opens unchanged. Nothing, with the reason in `error`, when
    /// it cannot be locked or read.
    static std::optional<LockedList> open(const QString& path, bool createIfMissing, QString* error);

    const QString& path() const { return _path; }
    const NodePtr& root() const { return _root; }
    /// Saves the list atomically; an empty string, or why it failed.
    QString save() const;

private:
    LockedList(ListLock lock, QString path, NodePtr root)
        : _lock(std::move(lock)), _path(std::move(path)), _root(std::move(root)) {}

    ListLock _lock;
    QString _path;
    NodePtr _root;
};

} // namespace tardigo
