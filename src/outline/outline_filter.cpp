#include "outline/outline_filter.h"

#include "model/keys.h"
#include "model/node_operations.h"

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

bool filtersByCompletion(const Dict& root) {
    const QString* filterKey = root.value(key::filterKey).asString();
    return filterKey && *filterKey == key::completion;
}

bool hidesCompletedItems(const Dict& root) {
    const Number* filterValue = root.value(key::filterValue).asNumber();
    return filtersByCompletion(root) && filterValue && float(filterValue->toDouble()) == 1.0f;
}

} // namespace tardigo
