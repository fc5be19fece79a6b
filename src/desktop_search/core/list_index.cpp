#include "desktop_search/core/list_index.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "search/item_search.h"

namespace tardigo {

namespace {

void indexBelow(const Dict& node, QList<int>& place, std::vector<IndexedItem>& items) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    for (size_t i = 0; i < children->items.size(); ++i) {
        const NodePtr child = children->items[i].asDict();
        if (!child)
            continue;
        place.append(int(i));
        const QString* name = child->value(key::name).asString();
        items.push_back(
            {place, child, foldForSearch(name ? *name : QString()), foldForSearch(searchableText(*child))});
        indexBelow(*child, place, items);
        place.removeLast();
    }
}

} // namespace

ListIndex::ListIndex(QString path, QString title, NodePtr root)
    : _path(std::move(path)), _title(std::move(title)), _root(std::move(root)) {
    QList<int> place;
    if (_root)
        indexBelow(*_root, place, _items);
}

} // namespace tardigo
