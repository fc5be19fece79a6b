#pragma once

// Shared helpers of the document tests: building trees and reading them back.

#include "model/keys.h"
#include "model/node_operations.h"
#include "storage/notes_text.h"

#include <QMetaType>
#include <QStringList>

namespace tardigo::test {

/// A new item, as the New command makes it, with the given name.
inline NodePtr makeItem(const QString& name, std::initializer_list<std::pair<QString, Value>> keys = {}) {
    NodePtr item = newToDoItem();
    item->set(key::name, name);
    for (const auto& [k, v] : keys)
        item->set(k, v);
    return item;
}

inline void appendChild(Dict& parent, const NodePtr& child) {
    if (!childrenOf(parent))
        parent.set(key::children, Array::create());
    childrenOf(parent)->items.push_back(child);
}

/// A root node as a new document has it, holding the given top-level items.
inline NodePtr makeRoot(std::initializer_list<NodePtr> items = {}) {
    NodePtr root = Dict::create();
    root->set(key::documentType, kTodoListType);
    root->set(key::children, Array::create());
    root->set(key::completion, Value::integer(0));
    root->set(key::panelInspector, Value::boolean(false));
    root->set(key::inspectorVisible, Value::boolean(false));
    root->set(key::columnSortDirections, Dict::create());
    for (const NodePtr& item : items)
        appendChild(*root, item);
    return root;
}

/// Notes as the notes tool stores them.
inline Value notesData(const QString& text) {
    TextRun run;
    run.text = text;
    return Value::data(encodeNotes(RichText::fromRuns({run})));
}

inline QString nameOf(const Dict& item) {
    const QString* name = item.value(key::name).asString();
    return name ? *name : QStringLiteral("(none)");
}

/// The names of the node's children, in stored order.
inline QStringList childNames(const Dict& node) {
    QStringList names;
    if (const ArrayPtr children = childrenOf(node))
        for (const Value& child : children->items)
            names << nameOf(*child.asDict());
    return names;
}

/// The messages of an item's history, oldest first.
inline QStringList historyMessages(const Dict& item) {
    QStringList messages;
    if (const ArrayPtr history = item.value(key::history).asArray())
        for (const Value& entry : history->items)
            messages << *entry.asDict()->value(key::message).asString();
    return messages;
}

} // namespace tardigo::test

Q_DECLARE_METATYPE(tardigo::Value)
Q_DECLARE_METATYPE(tardigo::NodePtr)
