#include "window/outline_rows.h"

namespace tardigo {

void OutlineRows::build(const ChildrenOf& childrenOf, const IsExpanded& isExpanded) {
    const size_t previousCount = _rows.size();
    clear();
    _rows.reserve(previousCount);
    _rowOf.reserve(qsizetype(previousCount));
    struct Level {
        NodePtr parent;
        ArrayPtr children;
        size_t next;
    };
    std::vector<Level> stack{{nullptr, childrenOf(nullptr), 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.children->items.size()) {
            stack.pop_back();
            continue;
        }
        const int childIndex = int(level.next++);
        NodePtr item = level.children->items[size_t(childIndex)].asDict();
        if (!item || _rowOf.contains(item.get()))
            continue;
        const ArrayPtr children = childrenOf(item);
        _rowOf.insert(item.get(), int(_rows.size()));
        _rows.push_back({item, level.parent, childIndex, children->size() > 0});
        if (_rows.back().expandable && isExpanded(item.get()))
            stack.push_back({std::move(item), children, 0});
    }
}

void OutlineRows::clear() {
    _rows.clear();
    _rowOf.clear();
}

const OutlineRow* OutlineRows::at(int row) const {
    return row >= 0 && row < count() ? &_rows[size_t(row)] : nullptr;
}

} // namespace tardigo
