#include "outline/outline_filter.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/search_filter.h"

namespace tardigo {

KeyFilter::KeyFilter(const Dict& root) {
    const Value* key = root.find(key::filterKey);
    _on = key != nullptr;
    // A key that is not a string hides nothing: no item value is stored under it.
    _key = key ? key->asString() : nullptr;
    _value = &root.value(key::filterValue);
}

bool KeyFilter::hides(const Dict& item) const {
    if (!_key)
        return false;
    const Value& value = item.value(*_key);
    return !value.isNil() && value == *_value;
}

ArrayPtr visibleChildren(const Dict& root, const Dict* item, const SearchFilter* search) {
    ArrayPtr children = childrenOf(item ? *item : root);
    if (!children)
        return Array::create();
    // Most items have no children: their empty list needs no look at the filters.
    if (children->items.empty())
        return children;
    const KeyFilter keyFilter(root);
    if (!keyFilter.isOn() && !search)
        return children;
    ArrayPtr result = Array::create();
    for (const Value& child : children->items) {
        // The address alone: a list of 100,000 items is filtered whole at every switch.
        const Dict* node = child.dictAddress();
        if (!node || keyFilter.hides(*node))
            continue;
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
