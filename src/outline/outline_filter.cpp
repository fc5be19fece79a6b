#include "outline/outline_filter.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "rich_text/notes_text.h"

namespace tardigo {

namespace {

// The term filter searches "name category notes" joined by single spaces, ignoring case. A missing
// name or category counts as empty text, and an item must pass every filter that is on: the term
// filter narrows what the hide-completed filter shows, and never brings back a hidden item.
bool matchesTerm(const Dict& child, const QString& term) {
    const QString* name = child.value(key::name).asString();
    const QString* category = child.value(key::category).asString();
    QString text = (name ? *name : QString()) + u' ' + (category ? *category : QString()) + u' ';
    if (const QByteArray* notes = child.value(key::notes).asData())
        text += notesPlainText(*notes).value_or(QString());
    return text.contains(term, Qt::CaseInsensitive);
}

} // namespace

ArrayPtr visibleChildren(const Dict& root, const Dict* item) {
    ArrayPtr children = childrenOf(item ? *item : root);
    if (!children)
        return Array::create();
    // Most items have no children: their empty list needs no look at the filters.
    if (children->items.empty())
        return children;
    const Value* filterKey = root.find(key::filterKey);
    const QString* filterKeyName = filterKey ? filterKey->asString() : nullptr;
    const QString* term = root.value(key::filterTerm).asString();
    if (!filterKey && !term)
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
        if (term && !matchesTerm(*node, *term))
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
