#pragma once

#include "model/value.h"

namespace tardigo {

/// The root's key filter ("filter key" and "filter value"): it hides each item whose value under
/// the key equals the value, and so the item's children. Read once, for as long as the root stays
/// as it is.
class KeyFilter {
public:
    explicit KeyFilter(const Dict& root);
    /// A filter key is stored, though one that is not a string hides nothing.
    bool isOn() const { return _on; }
    bool hides(const Dict& item) const;

private:
    bool _on = false;
    const QString* _key = nullptr;
    const Value* _value = nullptr;
};

/// The root's filter key is "completion": completed items are about to disappear from view.
bool filtersByCompletion(const Dict& root);
/// The hide-completed switch is on: the filter hides exactly the items whose completion is 1.
bool hidesCompletedItems(const Dict& root);

} // namespace tardigo
