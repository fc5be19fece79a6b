#include "desktop_search/core/list_shelf.h"

#include "archive/list_file.h"
#include "minder/tardigo_minder.h"
#include "model/core_log.h"

#include <QFileInfo>

namespace tardigo {

std::shared_ptr<const ListIndex> ListShelf::list(const QString& path) {
    const std::optional<FileIdentity> identity = FileIdentity::of(path);
    if (!identity) {
        _lists.remove(path);
        return nullptr;
    }
    const auto kept = _lists.constFind(path);
    if (kept != _lists.cend() && kept->identity == *identity)
        return kept->index;
    ++_reads;
    const ListLoad load = readListFile(path);
    std::shared_ptr<const ListIndex> index;
    if (TardigoMinder::isTardigoDoc(load))
        index = std::make_shared<const ListIndex>(path, QFileInfo(path).fileName(), load.root);
    else
        qCInfo(lcDesktopSearch).noquote() << "the search passes over" << path << load.error;
    _lists.insert(path, {*identity, index});
    return index;
}

void ListShelf::keepOnly(const QStringList& paths) {
    _lists.removeIf([&paths](const auto& shelved) { return !paths.contains(shelved.key()); });
}

} // namespace tardigo
