#include "archive/locked_list.h"

#include "archive/list_file.h"

#include <QFileInfo>

namespace tardigo {

std::optional<LockedList> LockedList::open(const QString& path, bool createIfMissing, QString* error) {
    ListLock lock(path);
    if (!lock.isLocked()) {
        *error = lock.error();
        return std::nullopt;
    }
    if (createIfMissing && !QFileInfo::exists(path))
        return LockedList(std::move(lock), path, newListRoot());
    ListLoad load = readListFile(path);
    if (!load.ok()) {
        *error = load.isLegacy
                     ? QStringLiteral("%1 is a Tardigo 1.x list; convert it first with “tardigo-cli import”.")
                           .arg(path)
                     : load.error;
        return std::nullopt;
    }
    return LockedList(std::move(lock), path, std::move(load.root));
}

QString LockedList::save() const {
    return writeListFile(_path, _root);
}

} // namespace tardigo
