#include "archive/locked_list.h"

#include "archive/list_file.h"
#include "model/keys.h"

#include <QFileInfo>

namespace tardigo {

std::optional<LockedList> LockedList::open(const QString& path, bool createIfMissing, QString* error) {
    ListLock lock(path);
    if (!lock.isLocked()) {
        *error = lock.error();
        return std::nullopt;
    }
    if (createIfMissing && !QFileInfo::exists(path)) {
        // Made here, the list holds nothing the load repairs would change: it opens unchanged.
        NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        return LockedList(std::move(lock), path, std::move(root));
    }
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
