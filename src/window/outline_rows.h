#pragma once

#include "model/value.h"

#include <QHash>

#include <functional>
#include <vector>

namespace tardigo {

/// One row of the outline: an item at its place in the visible tree.
struct OutlineRow {
    NodePtr item;
    NodePtr parent; // null: a top-level item
    int childIndex = 0;
    bool expandable = false;
    bool operator==(const OutlineRow& other) const = default;
};

/// The rows of an outline: the visible items of the expanded, filtered tree, numbered from 0 top to
/// bottom.
class OutlineRows {
public:
    using ChildrenOf = std::function<ArrayPtr(const NodePtr& item)>;
    using IsExpanded = std::function<bool(const Dict* item)>;

    /// Walks the tree from the root; an item's children follow it when it is expanded. An item
    /// that is already shown is not shown again, so a tree holding a node twice cannot loop.
    void build(const ChildrenOf& childrenOf, const IsExpanded& isExpanded);
    void clear();

    int count() const { return int(_rows.size()); }
    /// Null past the end.
    const OutlineRow* at(int row) const;
    /// -1 when the item is not shown.
    int rowOf(const Dict* item) const { return _rowOf.value(item, -1); }
    const std::vector<OutlineRow>& rows() const { return _rows; }

private:
    std::vector<OutlineRow> _rows;
    QHash<const Dict*, int> _rowOf;
};

} // namespace tardigo
