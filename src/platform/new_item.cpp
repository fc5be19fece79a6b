#include "platform/new_item.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"

#include <QCoreApplication>

namespace tardigo {

void initNewItem(Dict& node) {
    node.set(key::dateCreated, storedDateStringNow());
    node.set(key::name, QCoreApplication::translate("NewItem", "<new todo>"));
    node.set(key::completion, Value::float32(0.0));
    node.set(key::history, Array::create());
    node.set(key::children, Array::create());
    appendToLog(node, QCoreApplication::translate("NewItem", "item created"));
}

NodePtr newToDoItem() {
    NodePtr node = Dict::create();
    initNewItem(*node);
    return node;
}

} // namespace tardigo
