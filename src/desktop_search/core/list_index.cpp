#include "desktop_search/core/list_index.h"

#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "search/item_search.h"

namespace tardigo {

ListIndex::ListIndex(QString path, QString title, NodePtr root)
    : _path(std::move(path)), _title(std::move(title)), _root(std::move(root)) {
    if (!_root)
        return;
    forEachItemWithPlace(*_root, [this](const NodePtr& item, const QList<int>& place) {
        _items.push_back(
            {place, item, foldForSearch(stringOf(*item, key::name)), foldForSearch(searchableText(*item))});
    });
}

} // namespace tardigo
