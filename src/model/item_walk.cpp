#include "model/item_walk.h"

#include "model/node_operations.h"

namespace tardigo {

void forEachItemBelow(
    const Dict& node,
    const std::function<void(const NodePtr& item, const Dict& parent, qsizetype index)>& visit) {
    struct Level {
        const Dict* parent;
        ArrayPtr children;
        size_t next = 0;
    };
    std::vector<Level> pending{{&node, childrenOf(node)}};
    while (!pending.empty()) {
        Level& level = pending.back();
        if (!level.children || level.next >= level.children->items.size()) {
            pending.pop_back();
            continue;
        }
        const size_t index = level.next++;
        const Dict* parent = level.parent;
        const NodePtr item = level.children->items[index].asDict();
        if (!item)
            continue;
        visit(item, *parent, qsizetype(index));
        pending.push_back({item.get(), childrenOf(*item)});
    }
}

void forEachItemWithPlace(const Dict& node,
                          const std::function<void(const NodePtr& item, const QList<int>& place)>& visit) {
    struct Level {
        ArrayPtr children;
        size_t next = 0;
    };
    std::vector<Level> pending{{childrenOf(node)}};
    QList<int> place; // of the item whose children the last level holds
    while (!pending.empty()) {
        Level& level = pending.back();
        if (!level.children || level.next >= level.children->items.size()) {
            pending.pop_back();
            if (!place.isEmpty())
                place.removeLast();
            continue;
        }
        const size_t index = level.next++;
        const NodePtr item = level.children->items[index].asDict();
        if (!item)
            continue;
        place.append(int(index));
        visit(item, place);
        pending.push_back({childrenOf(*item)});
    }
}

} // namespace tardigo
