#include "outline/outline_filter.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/search_filter.h"

namespace tardigo {

ArrayPtr visibleChildren(const Dict& root, const Dict* item, const SearchFilter* search) {
    ArrayPtr children = childrenOf(item ? *item : root);
    if (!children)
        return Array::create();
    // Most items have no children: their empty list needs no look at the filters.
    if (children->items.empty())
        return children;
    const Value* filterKey = root.find(key::filterKey);
    const QString* filterKeyName = filterKey ? filterKey->asString() : nullptr;
    if (!filterKey && !search)
        return children;
    const Value& filterValue = root.value(key::filterValue);
    ArrayPtr result = Array::create();
    for (const Value& child : children->items) {
        // The address alone: a list of 100,000 items is filtered whole at every switch.
        const Dict* node = child.dictAddress();
        if (!node)
            continue;
        // A key filter whose key is not a string hides nothing: no item value is stored under it.
        if (filterKeyName) {
            const Value& value = node->value(*filterKeyName);
            if (!value.isNil() && value == filterValue)
                continue;
        }
        // The search narrows what the other filter shows, and never brings back a hidden item.
        if (search && !search->shows(*node))
            continue;
        result->items.push_back(child);
    }
    return result;
}

bool filtersByCompletion(const Dict& root) {
    const QString* filterKey = root.value(key::filterKey).asString();
    return filterKey && *filterKey == key::completion;
}

bool hidesCompletedItems(const Dict& root) {
    const Number* filterValue = root.value(key::filterValue).asNumber();
    return filtersByCompletion(root) && filterValue && float(filterValue->toDouble()) == 1.0f;
}

} // namespace tardigo
